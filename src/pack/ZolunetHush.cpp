#include "pack/Zolunet.h"

#include <algorithm>
#include <new>

bool TLunetHush::Setup(int nodes)
{
    Release();
    if (nodes <= 0)
        return false;
    size_t capacity = 1;
    while (capacity < static_cast<size_t>(nodes))
        capacity <<= 1;
    try {
        heads_.assign(65536, kNone);
        older_.assign(capacity, kNone);
    } catch (const std::bad_alloc&) {
        Release();
        return false;
    }
    nodes_ = nodes;
    mask_ = capacity - 1;
    ready_ = true;
    Clear();
    return true;
}

void TLunetHush::Release()
{
    ready_ = false;
    nodes_ = 0;
    mask_ = 0;
    heads_.clear();
    heads_.shrink_to_fit();
    older_.clear();
    older_.shrink_to_fit();
}

void TLunetHush::Clear()
{
    if (!ready_)
        return;
    std::fill(heads_.begin(), heads_.end(), kNone);
    std::fill(older_.begin(), older_.end(), kNone);
    newest_ = kNone;
}
