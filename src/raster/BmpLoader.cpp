#include "raster/BmpLoader.h"

#include "raster/DecoderSupport.h"
#include "raster/PixelAccess.h"
#include "raster/PixelMemory.h"
#include "raster/PixelRows.h"

#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

using pendar::TPixelBlock;

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kPaletteEntries = 256;
constexpr uint32_t kBiRgb = 0;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }

// Reads forwards only and counts the bytes taken from the start of the file,
// so that offsets in the header can be honoured.
class Reader {
public:
    explicit Reader(TStream& s) : s_(s) {}

    bool Read(void* to, size_t n)
    {
        if (n == 0)
            return true;
        if (s_.Read(to, static_cast<int64_t>(n)) != static_cast<int64_t>(n))
            return false;
        consumed_ += n;
        return true;
    }

    bool Skip(uint64_t n)
    {
        if (n == 0)
            return true;
        if (s_.Seek(static_cast<int64_t>(n), soFromCurrent) < 0)
            return false;
        consumed_ += n;
        return true;
    }

    uint64_t Consumed() const { return consumed_; }

private:
    TStream& s_;
    uint64_t consumed_ = 0;
};

struct BmpFile {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    uint32_t infoSize = 0;
    uint32_t offBits = 0;

    uint32_t PaletteEntries() const { return bitCount == 8 ? (clrUsed == 0 ? kPaletteEntries : clrUsed) : 0; }
    uint64_t PixelDataStart() const { return uint64_t{kFileHeaderBytes} + infoSize + 4ull * PaletteEntries(); }
    size_t FileRowBytes() const { return (size_t(width) * (bitCount / 8) + 3) & ~size_t{3}; }
};

enum class Verdict { ReadFailed, Refused, Decodable };

// The info header sizes whose first 40 bytes are the classic header: the
// classic one and its later extensions (masks, colour space), which carry
// nothing an uncompressed 8- or 24-bit file needs.
bool KnownInfoSize(uint32_t size)
{
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// Reads the headers; `why` says what refused them.
Verdict ReadHeader(Reader& r, BmpFile& f, bool allow24, std::string& why)
{
    uint8_t h[kFileHeaderBytes + kInfoHeaderBytes];
    if (!r.Read(h, sizeof h)) {
        why = "the file ends inside its headers";
        return Verdict::ReadFailed;
    }
    const uint8_t* info = h + kFileHeaderBytes;
    f.offBits = U32(h + 10);
    f.infoSize = U32(info);
    f.width = static_cast<int32_t>(U32(info + 4));
    f.height = static_cast<int32_t>(U32(info + 8));
    f.bitCount = U16(info + 14);
    f.compression = U32(info + 16);
    f.clrUsed = U32(info + 32);

    if (f.bitCount != 8 && !(allow24 && f.bitCount == 24))
        why = std::to_string(f.bitCount) + "-bit pictures are not supported (" +
              (allow24 ? "8 or 24 bits only)" : "8 bits only)");
    // A different header layout or compressed rows would decode as garbage.
    else if (!KnownInfoSize(f.infoSize))
        why = "an info header of " + std::to_string(f.infoSize) + " bytes is not supported";
    else if (f.compression != kBiRgb)
        why = "compression type " + std::to_string(f.compression) + " is not supported";
    // Top-down (negative height) files are not supported; every size is
    // checked before anything is allocated from it.
    else if (f.height < 0)
        why = "top-down pictures are not supported";
    else if (!pendar::ImageSizeAllowed(f.width, f.height))
        why = pendar::decode::SizeRefusal(f.width, f.height);
    // The palette blocks hold 256 entries.
    else if (f.clrUsed > kPaletteEntries)
        why = "a palette of " + std::to_string(f.clrUsed) + " colours is more than 256";
    // Pixel data that would start inside the headers or the palette cannot
    // be found reading forwards; 0 means "right after the palette".
    else if (f.offBits != 0 && f.offBits < f.PixelDataStart())
        why = "the pixel data would start inside the headers";
    else
        return Verdict::Decodable;
    return Verdict::Refused;
}

bool SkipRestOfHeader(Reader& r, const BmpFile& f)
{
    return r.Skip(f.infoSize - kInfoHeaderBytes);
}

bool SkipToPixels(Reader& r, const BmpFile& f)
{
    return f.offBits == 0 || r.Skip(f.offBits - r.Consumed());
}

// Reads the palette entries into a 256-entry block; the rest stay zero, so an
// index beyond the palette gives a defined colour.
bool ReadPalette(Reader& r, const BmpFile& f, RGBQUAD* palette)
{
    std::memset(palette, 0, kPaletteEntries * sizeof(RGBQUAD));
    return r.Read(palette, size_t{f.PaletteEntries()} * sizeof(RGBQUAD));
}

// Reads the rows (bottom row first) and hands each to convert(outRow, fileRow)
// with outRow the matching top-down row of `out`.
template <typename Convert>
bool ReadRows(Reader& r, const BmpFile& f, uint8_t* out, size_t outRowBytes, Convert convert)
{
    std::vector<uint8_t> row(f.FileRowBytes());
    for (int32_t y = f.height - 1; y >= 0; --y) {
        if (!r.Read(row.data(), row.size()))
            return false;
        convert(out + size_t(y) * outRowBytes, row.data());
    }
    return true;
}

using pendar::decode::OutputBlock;

void Deliver(const BmpFile& f, int* width, int* height)
{
    if (width)
        *width = f.width;
    if (height)
        *height = f.height;
}

constexpr const char* kEndsInHeader = "the file ends inside its headers";
constexpr const char* kEndsInPalette = "the file ends inside its palette";
constexpr const char* kEndsBeforePixels = "the file ends before its pixels";
constexpr const char* kEndsInPixels = "the file ends inside its pixels";

using pendar::decode::Refuse;

bool DecodeBmp(Reader& r, const BmpFile& f, uint8_t** pixels, TPixFormat format, std::string* why)
{
    const int bpp = FormatAndDepthTable[format];
    const size_t outRow = size_t(f.width) * bpp;
    if (!SkipRestOfHeader(r, f))
        return Refuse(why, kEndsInHeader);
    if (f.bitCount == 24) {
        if (!SkipToPixels(r, f))
            return Refuse(why, kEndsBeforePixels);
        OutputBlock<uint8_t> out;
        if (!out.Prepare(pixels, outRow * size_t(f.height)))
            return Refuse(why, "LoadBmp MemoryAllocError");
        TRGBCpyProc convert = RGBTRIPLEcpyToProcTable[format];
        if (!ReadRows(r, f, out.Data(), outRow, [&](uint8_t* to, const uint8_t* from) {
                convert(to, from, static_cast<unsigned>(f.width));
            }))
            return Refuse(why, kEndsInPixels);
        out.Commit();
        return true;
    }
    RGBQUAD palette[kPaletteEntries];
    if (!ReadPalette(r, f, palette))
        return Refuse(why, kEndsInPalette);
    if (!SkipToPixels(r, f))
        return Refuse(why, kEndsBeforePixels);
    uint8_t table[kPaletteEntries * 4];
    RGBQUADcpyToProcTable[format](table, palette, kPaletteEntries);
    OutputBlock<uint8_t> out;
    if (!out.Prepare(pixels, outRow * size_t(f.height)))
        return Refuse(why, "LoadBmp MemoryAllocError");
    if (!ReadRows(r, f, out.Data(), outRow, [&](uint8_t* to, const uint8_t* from) {
            pendar::decode::ExpandIndices(bpp, to, from, table, size_t(f.width));
        }))
        return Refuse(why, kEndsInPixels);
    out.Commit();
    return true;
}

bool DecodeAlpha(Reader& r, const BmpFile& f, uint8_t** plane, std::string* why)
{
    RGBQUAD palette[kPaletteEntries];
    if (!SkipRestOfHeader(r, f))
        return Refuse(why, kEndsInHeader);
    if (!ReadPalette(r, f, palette))
        return Refuse(why, kEndsInPalette);
    if (!SkipToPixels(r, f))
        return Refuse(why, kEndsBeforePixels);
    uint8_t grey[kPaletteEntries];
    for (uint32_t i = 0; i < kPaletteEntries; ++i)
        grey[i] = static_cast<uint8_t>((palette[i].rgbBlue + palette[i].rgbGreen + palette[i].rgbRed) / 3);
    const size_t outRow = size_t(f.width);
    OutputBlock<uint8_t> out;
    if (!out.Prepare(plane, outRow * size_t(f.height)))
        return Refuse(why, "LoadAlpha MemoryAllocError");
    if (!ReadRows(r, f, out.Data(), outRow, [&](uint8_t* to, const uint8_t* from) {
            for (int32_t x = 0; x < f.width; ++x)
                to[x] = grey[from[x]];
        }))
        return Refuse(why, kEndsInPixels);
    out.Commit();
    return true;
}

bool DecodePalette(Reader& r, const BmpFile& f, RGBQUAD** palette, uint8_t** indices, std::string* why)
{
    if (!SkipRestOfHeader(r, f))
        return Refuse(why, kEndsInHeader);
    OutputBlock<RGBQUAD> pal;
    if (palette) {
        if (!pal.Prepare(palette, kPaletteEntries * sizeof(RGBQUAD)))
            return Refuse(why, "LoadPalette MemoryAllocError");
        if (!ReadPalette(r, f, pal.Data()))
            return Refuse(why, kEndsInPalette);
    } else if (!r.Skip(4ull * f.PaletteEntries())) {
        return Refuse(why, kEndsInPalette);
    }
    if (indices) {
        if (!SkipToPixels(r, f))
            return Refuse(why, kEndsBeforePixels);
        const size_t outRow = size_t(f.width);
        OutputBlock<uint8_t> out;
        if (!out.Prepare(indices, outRow * size_t(f.height)))
            return Refuse(why, "LoadPalette MemoryAllocError");
        if (!ReadRows(r, f, out.Data(), outRow,
                      [&](uint8_t* to, const uint8_t* from) { std::memcpy(to, from, outRow); }))
            return Refuse(why, kEndsInPixels);
        out.Commit();
    }
    if (palette)
        pal.Commit();
    return true;
}

// The shared frame of the three loaders: header, probe, decode, dimensions.
template <typename Decode>
bool Load(TStream* s, bool allow24, bool probe, int* width, int* height, std::string* why, const char* noMemory,
          Decode decode)
{
    if (!s)
        return Refuse(why, "no stream");
    try {
        Reader r(*s);
        BmpFile f;
        std::string headerWhy;
        switch (ReadHeader(r, f, allow24, headerWhy)) {
        case Verdict::ReadFailed: return Refuse(why, std::move(headerWhy));
        case Verdict::Refused: Deliver(f, width, height); return Refuse(why, std::move(headerWhy));
        case Verdict::Decodable: break;
        }
        if (!probe && !decode(r, f))
            return false;
        Deliver(f, width, height);
        return true;
    } catch (const std::bad_alloc&) {
        // The outputs this call allocated are already freed.
        return Refuse(why, noMemory);
    } catch (const std::exception&) {
        return Refuse(why, "the stream failed");
    }
}

} // namespace

bool LoadBmp(TStream* s, uchar** pixels, int* width, int* height, TPixFormat format, std::string* reason)
{
    if (format < pf16_565 || format > pf32_8888)
        return Refuse(reason, pendar::decode::kBadFormat);
    return Load(s, true, pixels == nullptr, width, height, reason, "LoadBmp MemoryAllocError",
                [&](Reader& r, const BmpFile& f) { return DecodeBmp(r, f, pixels, format, reason); });
}

bool LoadAlpha(TStream* s, uchar** plane, int* width, int* height, std::string* reason)
{
    return Load(s, false, plane == nullptr, width, height, reason, "LoadAlpha MemoryAllocError",
                [&](Reader& r, const BmpFile& f) { return DecodeAlpha(r, f, plane, reason); });
}

bool LoadPalette(TStream* s, RGBQUAD** palette, uchar** indices, int* width, int* height, std::string* reason)
{
    return Load(s, false, false, width, height, reason, "LoadPalette MemoryAllocError",
                [&](Reader& r, const BmpFile& f) { return DecodePalette(r, f, palette, indices, reason); });
}
