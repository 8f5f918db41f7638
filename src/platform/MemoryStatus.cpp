#include "platform/MemoryStatus.h"

#include <sys/sysinfo.h>

namespace {

struct Figures {
    uint64_t totalRam = 0, freeRam = 0, totalSwap = 0, freeSwap = 0;
};

Figures Read()
{
    struct sysinfo info {};
    if (::sysinfo(&info) != 0)
        return {};
    uint64_t unit = info.mem_unit ? info.mem_unit : 1;
    return {uint64_t{info.totalram} * unit, (uint64_t{info.freeram} + info.bufferram) * unit,
            uint64_t{info.totalswap} * unit, uint64_t{info.freeswap} * unit};
}

} // namespace

uint64_t TotalPhysicalMemory()
{
    return Read().totalRam;
}

uint64_t AvailPhysicalMemory()
{
    return Read().freeRam;
}

uint64_t TotalVirtualMemory()
{
    Figures f = Read();
    return f.totalRam + f.totalSwap;
}

uint64_t AvailVirtualMemory()
{
    Figures f = Read();
    return f.freeRam + f.freeSwap;
}
