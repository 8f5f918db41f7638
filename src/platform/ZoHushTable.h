// A table of numbered slots, each holding a string and a 32-bit parameter,
// searchable by string. Strings live packed in one byte heap (an entry is a
// 12-byte header, the string and its zero) and are chained per bucket of
// their byte sum, in the order they were stored.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

// "TZoHushTable Create Error", "... Alloc Error", "... SetData Error" when
// memory runs short; "... Data Incorrect" when a bucket chain is broken.
class EHushTableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TZoHushTable {
public:
    static constexpr int kMaxSlots = 65535;          // slot numbers are 16-bit, 0xFFFF ends a chain
    static constexpr size_t kMaxStringLength = 65535; // the entry's 16-bit length field

    TZoHushTable();
    explicit TZoHushTable(int n);

    // Grows the table to n slots (at most kMaxSlots); never shrinks it.
    void Alloc(int n);
    int GetSize() const { return static_cast<int>(slots_.size()); }
    // Sum of the string's bytes modulo 256; 0 for null.
    static int CalcHush(const char* s);

    // Stores s in slot `index`, replacing what it held. False for an index
    // outside the table, a null string or one longer than kMaxStringLength.
    bool SetData(int index, const char* s, uint32_t param = 0);
    // Stores s in the lowest free slot and returns it; -1 when none is free
    // or SetData refuses s.
    int AddData(const char* s, uint32_t param = 0);
    void ClrData(int index);
    void AllClear();

    // The slot stored first among those holding exactly s; -1 when none.
    int Search(const char* s) const;
    // Valid until the table next changes; null for a free slot.
    const char* GetString(int index) const;
    uint32_t GetParam(int index) const;
    bool SetParam(int index, uint32_t value);
    bool IsValid(int index) const;

private:
    static constexpr uint16_t kEnd = 0xFFFF;

    uint16_t Next(int slot) const;
    void SetNext(int slot, uint16_t next);
    size_t Length(int slot) const;
    int TailOfBucket(int bucket, int adding) const;
    void Unlink(int slot);

    std::vector<int32_t> slots_;       // heap offset per slot, -1 when free
    std::array<uint16_t, 256> heads_;  // first slot per bucket
    std::vector<unsigned char> heap_;
};
