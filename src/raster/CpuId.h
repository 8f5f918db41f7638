// Processor features: which optional instruction sets the engine may use.
// Pixel buffers take IsMmxSupport() once, at construction, to choose their
// fast row routines. One instance describes the real processor; tests put a
// scripted one in its place with TScopedCPUID.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct TCpuidRegs {
    uint32_t eax = 0;
    uint32_t ebx = 0;
    uint32_t ecx = 0;
    uint32_t edx = 0;
};

class CPUID {
public:
    // Answers one CPUID leaf.
    using TQuery = std::function<TCpuidRegs(uint32_t leaf)>;

    // The real processor (through <cpuid.h>).
    CPUID();
    // A processor that answers through `query`; an empty query is one
    // without the CPUID instruction.
    explicit CPUID(TQuery query);

    // A scripted processor of `vendor` whose leaf 1 (and, for the vendors
    // that use them, extended leaf 0x80000001) reports signature and features.
    static CPUID Simulated(std::string_view vendor, uint32_t signature, uint32_t features);

    bool Valid() const { return valid_; }
    int Type() const { return type_; }
    int Family() const { return family_; }
    int Model() const { return model_; }
    int Stepping() const { return stepping_; }
    uint32_t Features() const { return features_; }
    // The 12 characters of leaf 0 (EBX, EDX, ECX); empty before a scan.
    const std::string& Vendor() const { return vendor_; }
    // Signature, then leaf 3's EDX and ECX; kept for Intel processors with the
    // serial number enabled, zero otherwise.
    const uint32_t* Serial() const { return serial_; }

    bool IsFPUSupport() const { return Bit(0); }
    bool IsTimeStampCounterSupport() const { return Bit(4); }
    bool IsCmpxchg8bSupport() const { return Bit(8); }
    bool IsCmovSupport() const { return Bit(15); }
    bool IsMmxSupport() const { return Bit(23); }
    bool Is3dnowSupport() const { return (IsVendor("AuthenticAMD") || IsVendor("CentaurHauls")) && Bit(31); }
    bool IsEx3dnowSupport() const { return IsVendor("AuthenticAMD") && Bit(30); }
    bool IsPsnEnable() const { return IsVendor("GenuineIntel") && Bit(18); }
    bool IsFxsaveSupport() const { return IsVendor("GenuineIntel") && Bit(24); }
    bool IsSseSupport() const { return IsVendor("GenuineIntel") && Bit(25); }

private:
    void ScanCPUID();
    void ScanCPUID_AMD();
    void ScanCPUID_CYRIX();
    void ScanCPUID_INTEL();
    void ScanCPUID_OTHER();
    void SetFamily(uint32_t signature, uint32_t features);
    bool ScanExtended(bool needTopBit);

    bool Bit(int n) const { return (features_ >> n) & 1; }
    bool IsVendor(std::string_view v) const { return vendor_ == v; }

    TQuery query_;
    bool valid_ = false;
    int type_ = 0;
    int family_ = -1;
    int model_ = -1;
    int stepping_ = -1;
    uint32_t features_ = 0;
    std::string vendor_;
    uint32_t serial_[3] = {0, 0, 0};
};

// The processor the engine runs on (or the one a test put in its place).
const CPUID& TheCPUID();

// Replaces TheCPUID() for its lifetime; pixel buffers constructed meanwhile
// take their feature answers from `replacement`.
class TScopedCPUID {
public:
    explicit TScopedCPUID(CPUID replacement);
    ~TScopedCPUID();
    TScopedCPUID(const TScopedCPUID&) = delete;
    TScopedCPUID& operator=(const TScopedCPUID&) = delete;

private:
    CPUID replacement_;
    const CPUID* previous_;
};
