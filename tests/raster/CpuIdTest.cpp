#include "raster/CpuId.h"
#include "raster/ZoRGBBits.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

constexpr uint32_t kMmx = 1u << 23;

// A processor described leaf by leaf.
CPUID Scripted(const char* vendor, std::map<uint32_t, TCpuidRegs> leaves)
{
    TCpuidRegs leaf0;
    std::memcpy(&leaf0.ebx, vendor, 4);
    std::memcpy(&leaf0.edx, vendor + 4, 4);
    std::memcpy(&leaf0.ecx, vendor + 8, 4);
    leaves[0] = leaf0;
    return CPUID([leaves](uint32_t leaf) {
        auto it = leaves.find(leaf);
        return it == leaves.end() ? TCpuidRegs{} : it->second;
    });
}

TEST(CpuId, VendorsChooseTheirLeaves)
{
    const uint32_t basic = 0x0000067A;     // family 6, model 7, stepping 10
    const uint32_t extended = 0x00000F2B; // family 15, model 2, stepping 11
    TCpuidRegs leaf1{basic, 0, 0, kMmx | 1};
    TCpuidRegs ext1{extended, 0, 0, kMmx | 1 | (1u << 31) | (1u << 30)};
    struct Case {
        const char* vendor;
        uint32_t extendedMax;
        int family;      // which signature was used
        bool threeDNow;  // bit 31 counts for this vendor
        bool exThreeDNow;
    } cases[] = {
        {"AuthenticAMD", 0x80000001, 15, true, true},
        {"AuthenticAMD", 0, 6, false, false},           // no extended leaves: leaf 1
        {"CyrixInstead", 0x80000001, 15, false, false}, // 3DNow! is only AMD's and Centaur's
        {"CyrixInstead", 0x00000005, 6, false, false},  // maximum without the top bit
        {"CentaurHauls", 0x80000001, 6, false, false},  // leaf 1 always
        {"RiseRiseRise", 0x80000001, 6, false, false},
        {"GenuineIntel", 0x80000001, 6, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.vendor << " " << std::hex << c.extendedMax);
        CPUID cpu = Scripted(c.vendor, {{1, leaf1}, {0x80000000, TCpuidRegs{c.extendedMax, 0, 0, 0}}, {0x80000001, ext1}});
        EXPECT_TRUE(cpu.Valid());
        EXPECT_EQ(c.vendor, cpu.Vendor());
        EXPECT_EQ(c.family, cpu.Family());
        EXPECT_TRUE(cpu.IsMmxSupport());
        EXPECT_TRUE(cpu.IsFPUSupport());
        EXPECT_EQ(c.threeDNow, cpu.Is3dnowSupport());
        EXPECT_EQ(c.exThreeDNow, cpu.IsEx3dnowSupport());
    }
}

TEST(CpuId, SignatureFieldsAndIntelOnlyTests)
{
    const uint32_t features = kMmx | (1u << 18) | (1u << 24) | (1u << 25) | (1u << 15) | (1u << 8) | (1u << 4);
    CPUID intel = Scripted("GenuineIntel",
                           {{1, TCpuidRegs{0x00003672, 0, 0, features}}, {3, TCpuidRegs{0, 0, 0xCCCC, 0xDDDD}}});
    EXPECT_EQ(3, intel.Type());
    EXPECT_EQ(6, intel.Family());
    EXPECT_EQ(7, intel.Model());
    EXPECT_EQ(2, intel.Stepping());
    EXPECT_TRUE(intel.IsPsnEnable());
    EXPECT_TRUE(intel.IsSseSupport());
    EXPECT_TRUE(intel.IsFxsaveSupport());
    EXPECT_TRUE(intel.IsCmovSupport());
    EXPECT_TRUE(intel.IsCmpxchg8bSupport());
    EXPECT_TRUE(intel.IsTimeStampCounterSupport());
    EXPECT_EQ(0x00003672u, intel.Serial()[0]);
    EXPECT_EQ(0xDDDDu, intel.Serial()[1]);
    EXPECT_EQ(0xCCCCu, intel.Serial()[2]);

    // The same bits mean nothing for another vendor.
    CPUID other = Scripted("CentaurHauls", {{1, TCpuidRegs{0x00003672, 0, 0, features}}});
    EXPECT_FALSE(other.IsPsnEnable());
    EXPECT_FALSE(other.IsSseSupport());
    EXPECT_FALSE(other.IsFxsaveSupport());
    EXPECT_EQ(0u, other.Serial()[1]);
}

TEST(CpuId, UnknownVendorsAndMissingInstructionGiveNoFeatures)
{
    CPUID unknown = Scripted("SomeNewChip!", {{1, TCpuidRegs{0x0000067A, 0, 0, 0xFFFFFFFF}}});
    EXPECT_TRUE(unknown.Valid());
    EXPECT_FALSE(unknown.IsMmxSupport());
    EXPECT_EQ(0u, unknown.Features());
    EXPECT_EQ(-1, unknown.Family());

    CPUID none{CPUID::TQuery()};
    EXPECT_FALSE(none.Valid());
    EXPECT_FALSE(none.IsMmxSupport());
    EXPECT_EQ(-1, none.Model());
    EXPECT_EQ(-1, none.Stepping());
    EXPECT_TRUE(none.Vendor().empty());
}

TEST(CpuId, RealProcessor)
{
#if defined(__x86_64__)
    // Every x86-64 processor has CPUID and MMX.
    EXPECT_TRUE(TheCPUID().Valid());
    EXPECT_EQ(12u, TheCPUID().Vendor().size());
    const std::string& v = TheCPUID().Vendor();
    if (v == "GenuineIntel" || v == "AuthenticAMD") {
        EXPECT_TRUE(TheCPUID().IsMmxSupport());
    }
#else
    GTEST_SKIP() << "not an x86-64 processor";
#endif
}

TEST(CpuId, TestsCanForceTheFlagsBuffersSee)
{
    {
        TScopedCPUID without(CPUID::Simulated("GenuineIntel", 0x0000067A, 0));
        EXPECT_FALSE(TheCPUID().IsMmxSupport());
        TZoRGBBits plain;
        EXPECT_FALSE(plain.MmxEnabled());
        {
            TScopedCPUID with(CPUID::Simulated("AuthenticAMD", 0x00000F2B, kMmx));
            TZoRGBBits fast;
            EXPECT_TRUE(fast.MmxEnabled());
        }
        EXPECT_FALSE(TheCPUID().IsMmxSupport());
        // The answer is taken once, at construction.
        EXPECT_FALSE(plain.MmxEnabled());
    }
    TZoRGBBits real;
    EXPECT_EQ(TheCPUID().IsMmxSupport(), real.MmxEnabled());
}

} // namespace
