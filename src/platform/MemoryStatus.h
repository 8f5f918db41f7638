// Memory figures of the system in bytes, from sysinfo(2); 0 when it fails.
// "Virtual" memory is what the system can hand out at all: RAM and swap.
#pragma once

#include <cstdint>

uint64_t TotalPhysicalMemory();
// Free RAM, buffers included (page cache is not reported by sysinfo).
uint64_t AvailPhysicalMemory();
uint64_t TotalVirtualMemory();
uint64_t AvailVirtualMemory();
