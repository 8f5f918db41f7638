#include "platform/MemoryStatus.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

TEST(MemoryStatus, FiguresAgreeWithTheKernelsOwnAccount)
{
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    uint64_t kib = 0;
    while (meminfo >> key >> kib && key != "MemTotal:")
        meminfo.ignore(256, '\n');
    ASSERT_EQ("MemTotal:", key);

    EXPECT_EQ(kib * 1024, TotalPhysicalMemory());
    EXPECT_GT(AvailPhysicalMemory(), 0u);
    EXPECT_LE(AvailPhysicalMemory(), TotalPhysicalMemory());
    EXPECT_GE(TotalVirtualMemory(), TotalPhysicalMemory());
    EXPECT_GE(AvailVirtualMemory(), AvailPhysicalMemory());
    EXPECT_LE(AvailVirtualMemory(), TotalVirtualMemory());
}

} // namespace
