#include "pack/Zobrisca.h"

#include <cstring>
#include <numeric>

void TMTFDecode::Reset()
{
    std::iota(list_, list_ + 256, 0);
}

bool TMTFDecode::Decode(unsigned char* buf, int count)
{
    uint8_t front = list_[0];
    for (int i = 0; i < count;) {
        unsigned r = buf[i];
        if (r == 0) {
            int end = i + 1;
            while (end < count && buf[end] == 0)
                ++end; // a run of the front value
            std::memset(buf + i, front, static_cast<size_t>(end - i));
            i = end;
            continue;
        }
        front = list_[r];
        std::memmove(list_ + 1, list_, r);
        list_[0] = front;
        buf[i++] = front;
    }
    return true;
}

void TMTFEncode::Reset()
{
    std::iota(list_, list_ + 256, 0);
}

bool TMTFEncode::Encode(unsigned char* buf, int count)
{
    for (int i = 0; i < count; ++i) {
        uint8_t value = buf[i];
        unsigned r = 0;
        while (list_[r] != value)
            ++r; // ends: the list holds every byte value once
        if (r > 0) {
            std::memmove(list_ + 1, list_, r);
            list_[0] = value;
        }
        buf[i] = static_cast<unsigned char>(r);
    }
    return true;
}
