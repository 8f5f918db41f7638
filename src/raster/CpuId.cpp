#include "raster/CpuId.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

constexpr uint32_t kExtendedMax = 0x80000000u;
constexpr uint32_t kExtendedFeatures = 0x80000001u;

CPUID::TQuery RealProcessor()
{
#if defined(__x86_64__) || defined(__i386__)
    // __get_cpuid_max toggles the ID flag on 32-bit processors; 0 means no CPUID.
    if (__get_cpuid_max(0, nullptr) == 0)
        return {};
    return [](uint32_t leaf) {
        TCpuidRegs r;
        __cpuid(leaf, r.eax, r.ebx, r.ecx, r.edx);
        return r;
    };
#else
    return {};
#endif
}

std::string VendorOf(const TCpuidRegs& leaf0)
{
    char text[12];
    std::memcpy(text, &leaf0.ebx, 4);
    std::memcpy(text + 4, &leaf0.edx, 4);
    std::memcpy(text + 8, &leaf0.ecx, 4);
    return std::string(text, 12);
}

const CPUID* g_override = nullptr;

} // namespace

CPUID::CPUID() : CPUID(RealProcessor()) {}

CPUID::CPUID(TQuery query) : query_(std::move(query))
{
    valid_ = static_cast<bool>(query_);
    if (valid_)
        ScanCPUID();
}

CPUID CPUID::Simulated(std::string_view vendor, uint32_t signature, uint32_t features)
{
    char name[12] = {};
    std::memcpy(name, vendor.data(), vendor.size() < 12 ? vendor.size() : 12);
    TCpuidRegs leaf0;
    leaf0.eax = 1;
    std::memcpy(&leaf0.ebx, name, 4);
    std::memcpy(&leaf0.edx, name + 4, 4);
    std::memcpy(&leaf0.ecx, name + 8, 4);
    return CPUID([=](uint32_t leaf) {
        TCpuidRegs r;
        if (leaf == 0) {
            r = leaf0;
        } else if (leaf == 1 || leaf == kExtendedFeatures) {
            r.eax = signature;
            r.edx = features;
        } else if (leaf == kExtendedMax) {
            r.eax = kExtendedFeatures;
        }
        return r;
    });
}

void CPUID::ScanCPUID()
{
    vendor_ = VendorOf(query_(0));
    if (vendor_ == "AuthenticAMD")
        ScanCPUID_AMD();
    else if (vendor_ == "CyrixInstead")
        ScanCPUID_CYRIX();
    else if (vendor_ == "CentaurHauls" || vendor_ == "RiseRiseRise")
        ScanCPUID_OTHER();
    else if (vendor_ == "GenuineIntel")
        ScanCPUID_INTEL();
    // Any other vendor is not scanned: no optional instruction set is used.
}

bool CPUID::ScanExtended(bool needTopBit)
{
    uint32_t max = query_(kExtendedMax).eax;
    if (needTopBit ? (max & 0x80000000u) == 0 : max == 0)
        return false;
    TCpuidRegs r = query_(kExtendedFeatures);
    SetFamily(r.eax, r.edx);
    return true;
}

void CPUID::ScanCPUID_AMD()
{
    if (!ScanExtended(false))
        ScanCPUID_OTHER();
}

void CPUID::ScanCPUID_CYRIX()
{
    if (!ScanExtended(true))
        ScanCPUID_OTHER();
}

void CPUID::ScanCPUID_INTEL()
{
    TCpuidRegs r = query_(1);
    SetFamily(r.eax, r.edx);
    if (IsPsnEnable()) {
        TCpuidRegs serial = query_(3);
        serial_[0] = r.eax;
        serial_[1] = serial.edx;
        serial_[2] = serial.ecx;
    }
}

void CPUID::ScanCPUID_OTHER()
{
    TCpuidRegs r = query_(1);
    SetFamily(r.eax, r.edx);
}

void CPUID::SetFamily(uint32_t signature, uint32_t features)
{
    features_ = features;
    type_ = static_cast<int>((signature >> 12) & 3);
    family_ = static_cast<int>((signature >> 8) & 15);
    model_ = static_cast<int>((signature >> 4) & 15);
    stepping_ = static_cast<int>(signature & 15);
}

const CPUID& TheCPUID()
{
    static const CPUID real;
    return g_override ? *g_override : real;
}

TScopedCPUID::TScopedCPUID(CPUID replacement) : replacement_(std::move(replacement)), previous_(g_override)
{
    g_override = &replacement_;
}

TScopedCPUID::~TScopedCPUID()
{
    g_override = previous_;
}
