#include "platform/ZoHushTable.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace {

// Entry header: slot, next slot in the bucket, parameter, string length,
// two unused bytes; the string and its zero follow.
constexpr size_t kSlotAt = 0;
constexpr size_t kNextAt = 2;
constexpr size_t kParamAt = 4;
constexpr size_t kLengthAt = 8;
constexpr size_t kStringAt = 12;
constexpr size_t kOverhead = kStringAt + 1;

template <typename T>
T Load(const unsigned char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T>
void Store(unsigned char* p, T v)
{
    std::memcpy(p, &v, sizeof v);
}

} // namespace

TZoHushTable::TZoHushTable()
{
    heads_.fill(kEnd);
    try {
        heap_.reserve(256);
    } catch (const std::bad_alloc&) {
        throw EHushTableError("TZoHushTable Create Error");
    }
}

TZoHushTable::TZoHushTable(int n) : TZoHushTable()
{
    Alloc(n);
}

void TZoHushTable::Alloc(int n)
{
    if (n > kMaxSlots)
        n = kMaxSlots;
    if (n <= GetSize())
        return;
    try {
        slots_.resize(static_cast<size_t>(n), -1);
    } catch (const std::bad_alloc&) {
        throw EHushTableError("TZoHushTable Alloc Error");
    }
}

int TZoHushTable::CalcHush(const char* s)
{
    unsigned sum = 0;
    for (; s && *s; ++s)
        sum += static_cast<unsigned char>(*s);
    return static_cast<int>(sum % 256);
}

bool TZoHushTable::IsValid(int index) const
{
    return index >= 0 && index < GetSize() && slots_[index] >= 0;
}

uint16_t TZoHushTable::Next(int slot) const
{
    return Load<uint16_t>(&heap_[slots_[slot] + kNextAt]);
}

void TZoHushTable::SetNext(int slot, uint16_t next)
{
    Store(&heap_[slots_[slot] + kNextAt], next);
}

size_t TZoHushTable::Length(int slot) const
{
    return Load<uint16_t>(&heap_[slots_[slot] + kLengthAt]);
}

// The last slot of a bucket (-1 when it is empty). A chain that meets
// `adding`, leaves the table or runs longer than the table has slots is
// broken.
int TZoHushTable::TailOfBucket(int bucket, int adding) const
{
    int slot = heads_[bucket];
    if (slot == kEnd)
        return -1;
    for (int steps = 0; steps < GetSize(); ++steps) {
        if (slot == adding || !IsValid(slot))
            break;
        uint16_t next = Next(slot);
        if (next == kEnd)
            return slot;
        slot = next;
    }
    throw EHushTableError("TZoHushTable Data Incorrect");
}

bool TZoHushTable::SetData(int index, const char* s, uint32_t param)
{
    if (index < 0 || index >= GetSize() || !s)
        return false;
    size_t length = std::strlen(s);
    if (length > kMaxStringLength)
        return false;
    ClrData(index);

    int bucket = CalcHush(s);
    int tail = TailOfBucket(bucket, index);
    size_t offset = heap_.size();
    size_t size = kOverhead + length;
    // Offsets are stored as 32-bit signed values.
    if (offset + size > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw EHushTableError("TZoHushTable SetData Error");
    try {
        heap_.resize(offset + size);
    } catch (const std::bad_alloc&) {
        throw EHushTableError("TZoHushTable SetData Error");
    }
    unsigned char* entry = &heap_[offset];
    Store(entry + kSlotAt, static_cast<uint16_t>(index));
    Store(entry + kNextAt, kEnd);
    Store(entry + kParamAt, param);
    Store(entry + kLengthAt, static_cast<uint16_t>(length));
    Store(entry + kLengthAt + 2, uint16_t{0});
    std::memcpy(entry + kStringAt, s, length + 1);
    slots_[index] = static_cast<int32_t>(offset);

    if (tail < 0)
        heads_[bucket] = static_cast<uint16_t>(index);
    else
        SetNext(tail, static_cast<uint16_t>(index));
    return true;
}

int TZoHushTable::AddData(const char* s, uint32_t param)
{
    for (int i = 0; i < GetSize(); ++i) {
        if (slots_[i] < 0)
            return SetData(i, s, param) ? i : -1;
    }
    return -1;
}

// Takes the slot out of its bucket's chain.
void TZoHushTable::Unlink(int slot)
{
    int bucket = CalcHush(GetString(slot));
    uint16_t next = Next(slot);
    if (heads_[bucket] == slot) {
        heads_[bucket] = next;
        return;
    }
    int before = heads_[bucket];
    for (int steps = 0; steps < GetSize() && before != kEnd && IsValid(before); ++steps) {
        if (Next(before) == slot) {
            SetNext(before, next);
            return;
        }
        before = Next(before);
    }
    throw EHushTableError("TZoHushTable Data Incorrect");
}

void TZoHushTable::ClrData(int index)
{
    if (!IsValid(index))
        return;
    Unlink(index);
    auto offset = static_cast<size_t>(slots_[index]);
    size_t size = kOverhead + Length(index);
    heap_.erase(heap_.begin() + static_cast<ptrdiff_t>(offset),
                heap_.begin() + static_cast<ptrdiff_t>(offset + size));
    for (int32_t& other : slots_) {
        if (other > static_cast<int32_t>(offset))
            other -= static_cast<int32_t>(size);
    }
    slots_[index] = -1;
}

void TZoHushTable::AllClear()
{
    std::fill(slots_.begin(), slots_.end(), -1);
    heads_.fill(kEnd);
    try {
        std::vector<unsigned char> empty;
        empty.reserve(256);
        heap_.swap(empty);
    } catch (const std::bad_alloc&) {
        throw EHushTableError("TZoHushTable Create Error");
    }
}

int TZoHushTable::Search(const char* s) const
{
    if (!s)
        return -1;
    size_t length = std::strlen(s);
    int slot = heads_[CalcHush(s)];
    for (int steps = 0; steps < GetSize() && slot != kEnd && IsValid(slot); ++steps) {
        if (Length(slot) == length && std::memcmp(GetString(slot), s, length) == 0)
            return slot;
        slot = Next(slot);
    }
    return -1;
}

const char* TZoHushTable::GetString(int index) const
{
    if (!IsValid(index))
        return nullptr;
    return reinterpret_cast<const char*>(&heap_[static_cast<size_t>(slots_[index]) + kStringAt]);
}

uint32_t TZoHushTable::GetParam(int index) const
{
    return IsValid(index) ? Load<uint32_t>(&heap_[static_cast<size_t>(slots_[index]) + kParamAt]) : 0;
}

bool TZoHushTable::SetParam(int index, uint32_t value)
{
    if (!IsValid(index))
        return false;
    Store(&heap_[static_cast<size_t>(slots_[index]) + kParamAt], value);
    return true;
}
