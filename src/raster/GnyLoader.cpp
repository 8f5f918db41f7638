#include "raster/GnyLoader.h"

#include "raster/DecoderSupport.h"
#include "raster/PixelRows.h"

#include <new>
#include <string>
#include <vector>

namespace {

// Reads n bytes and undoes the scrambling; `offset` counts the bytes of the
// GNY data read so far.
bool ReadPlain(TStream& s, uint8_t* to, size_t n, const uchar* table, size_t& offset)
{
    if (n != 0 && s.Read(to, static_cast<int64_t>(n)) != static_cast<int64_t>(n))
        return false;
    for (size_t i = 0; i < n; ++i)
        to[i] ^= table[(offset + i) & 0xFF];
    offset += n;
    return true;
}

int32_t Int32(const uint8_t* p)
{
    return static_cast<int32_t>(p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24);
}

using pendar::decode::Refuse;

bool Decode(TStream& s, uchar** pixels, int* width, int* height, TPixFormat format, const uchar* table,
            std::string* reason)
{
    size_t offset = 0;
    uint8_t header[8];
    if (!ReadPlain(s, header, sizeof header, table, offset))
        return Refuse(reason, "the file ends inside its header");
    const int32_t w = Int32(header);
    const int32_t h = Int32(header + 4);
    if (!pendar::ImageSizeAllowed(w, h))
        return Refuse(reason, pendar::decode::SizeRefusal(w, h));
    if (pixels) {
        // The rows are raw: a stream that cannot hold them all is refused
        // before anything is allocated for them.
        constexpr const char* kShort = "the file ends before the rows its header announces";
        const int64_t left = s.Size() - s.Position();
        if (left >= 0 && left < int64_t{w} * h * 3)
            return Refuse(reason, kShort);
        const size_t outRow = size_t(w) * FormatAndDepthTable[format];
        pendar::decode::OutputBlock<uchar> out;
        if (!out.Prepare(pixels, outRow * size_t(h)))
            return Refuse(reason, "LoadGny MemoryAllocError");
        std::vector<uint8_t> row(size_t(w) * 3);
        const TRGBCpyProc convert = RGBTRIPLEcpyToProcTable[format];
        for (int32_t y = 0; y < h; ++y) {
            if (!ReadPlain(s, row.data(), row.size(), table, offset))
                return Refuse(reason, kShort);
            convert(out.Data() + size_t(y) * outRow, row.data(), static_cast<unsigned>(w));
        }
        out.Commit();
    }
    if (width)
        *width = w;
    if (height)
        *height = h;
    return true;
}

} // namespace

bool LoadGny(TStream* s, uchar** pixels, int* width, int* height, TPixFormat format, const uchar* table,
             std::string* reason)
{
    if (!s || !table)
        return Refuse(reason, !s ? "no stream" : "no descrambling table");
    if (format < pf16_565 || format > pf32_8888)
        return Refuse(reason, pendar::decode::kBadFormat);
    try {
        return Decode(*s, pixels, width, height, format, table, reason);
    } catch (const std::bad_alloc&) {
        // What this call allocated is freed already.
        return Refuse(reason, "LoadGny MemoryAllocError");
    } catch (...) {
        return Refuse(reason, "the stream failed");
    }
}
