// PNG reading through libpng. libpng reports errors by jumping back to the
// setjmp in Run(); everything a decode owns lives in a PngRead outside that
// function, so the jump skips no destructor and the PngRead frees it all.
#include "raster/PngLoader.h"

#include "raster/DecoderSupport.h"
#include "raster/PixelRows.h"
#include "raster/PngSupport.h"

#include <png.h>

#include <array>
#include <cstring>
#include <string>
#include <utility>

namespace {

using pendar::TPixelBlock;
using pendar::decode::OutputBlock;
using pendar::decode::Refuse;

struct Request {
    uchar** pixels = nullptr; // null: not wanted
    uchar** alpha = nullptr;  // null: not wanted
    TPixFormat format = pf24_888;
    bool whiteMatte = false;
    bool headerOnly = false;

    bool Decodes() const { return !headerOnly && (pixels || alpha); }
};

struct PngRead {
    TStream* stream = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
    OutputBlock<uchar> pixels;
    OutputBlock<uchar> alpha;
    TPixelBlock rows;        // one decoded row, or the whole picture when interlaced
    TPixelBlock rowPointers; // into `rows`, when interlaced
    uint8_t paletteTable[256 * 4] = {};
    std::string why; // what refused the picture

    PngRead() = default;
    PngRead(const PngRead&) = delete;
    PngRead& operator=(const PngRead&) = delete;
    ~PngRead()
    {
        if (png)
            png_destroy_read_struct(&png, &info, nullptr);
    }
};

void ReadData(png_structp png, png_bytep data, size_t length)
{
    auto* job = static_cast<PngRead*>(png_get_io_ptr(png));
    if (!pendar::png::ReadExactly(*job->stream, data, length))
        png_error(png, "Png Error. Read Error.");
}

int ChannelsOf(int colourType)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_PALETTE: return 1;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 0;
    }
}

// Palettes of 8 bits; RGB and RGB with alpha of 8 or 16.
bool Decodable(PngRead& job)
{
    const int channels = ChannelsOf(job.colourType);
    if (channels == 0)
        job.why = "LoadPng Error:GrayScale.Not Support";
    else if (job.bitDepth != 8 && (channels == 1 || job.bitDepth != 16))
        job.why = "LoadPng Error:Bit Depth.Not Support";
    else
        return true;
    return false;
}

const std::array<uint8_t, 65536>& WhiteMatteTable()
{
    static const std::array<uint8_t, 65536> table = [] {
        std::array<uint8_t, 65536> t{};
        for (int a = 1; a < 256; ++a) {
            for (int c = 0; c < 256; ++c)
                t[size_t(a) * 256 + c] = static_cast<uint8_t>(((a + c) * 255 - 65025) / a);
        }
        return t;
    }();
    return table;
}

// The palette as pixels of the output format; entries the picture does not
// define are black, so any index gives a defined colour.
void BuildPaletteTable(PngRead& job, TPixFormat format)
{
    RGBQUAD palette[256] = {};
    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(job.png, job.info, &entries, &count) != PNG_INFO_PLTE)
        png_error(job.png, "LoadPng Error:Palette.");
    for (int i = 0; i < count && i < 256; ++i)
        palette[i] = RGBQUAD{entries[i].blue, entries[i].green, entries[i].red, 0};
    RGBQUADcpyToProcTable[format](job.paletteTable, palette, 256);
}

// Turns decoded row y (`row`, which may be the output row itself) into the
// outputs.
void DeliverRow(PngRead& job, const Request& rq, uint8_t* row, uint8_t* out, size_t y)
{
    const size_t w = job.width;
    uint8_t* alphaOut = rq.alpha ? job.alpha.Data() + y * w : nullptr;
    switch (job.colourType) {
    case PNG_COLOR_TYPE_PALETTE:
        if (out)
            pendar::decode::ExpandIndices(FormatAndDepthTable[rq.format], out, row, job.paletteTable, w);
        break;
    case PNG_COLOR_TYPE_RGB:
        if (out && out != row)
            RGBTRIPLEcpyToProcTable[rq.format](out, row, static_cast<unsigned>(w));
        break;
    default: { // blue, green, red, alpha
        const uint8_t* matte = rq.whiteMatte ? WhiteMatteTable().data() : nullptr;
        const bool keepAlpha = rq.format == pf32_8888;
        for (size_t x = 0; x < w; ++x) {
            uint8_t* px = row + 4 * x;
            const uint8_t a = px[3];
            if (alphaOut)
                alphaOut[x] = a;
            if (matte) {
                for (int c = 0; c < 3; ++c)
                    px[c] = matte[size_t(a) * 256 + px[c]];
            }
            if (!keepAlpha)
                px[3] = 0;
        }
        if (out && out != row)
            RGBQUADcpyToProcTable[rq.format](out, row, static_cast<unsigned>(w));
        alphaOut = nullptr; // delivered
        break;
    }
    }
    if (alphaOut)
        std::memset(alphaOut, 255, w);
}

void Decode(PngRead& job, const Request& rq)
{
    const int channels = ChannelsOf(job.colourType);
    if (channels == 1)
        BuildPaletteTable(job, rq.format);
    if (job.bitDepth == 16)
        png_set_strip_16(job.png);
    if (channels >= 3)
        png_set_bgr(job.png);
    const int passes = png_set_interlace_handling(job.png);
    png_read_update_info(job.png, job.info);
    const size_t w = job.width;
    const size_t h = job.height;
    const size_t rowBytes = png_get_rowbytes(job.png, job.info);
    if (rowBytes != w * size_t(channels))
        png_error(job.png, "LoadPng Error:Row Size.");

    const size_t outRow = w * FormatAndDepthTable[rq.format];
    if ((rq.pixels && !job.pixels.Prepare(rq.pixels, outRow * h)) || (rq.alpha && !job.alpha.Prepare(rq.alpha, w * h)))
        png_error(job.png, "LoadPng MemoryAllocError");
    // Rows that need no conversion are decoded straight into the output.
    const bool direct = rq.pixels && passes == 1 &&
                        ((channels == 3 && rq.format == pf24_888) ||
                         (channels == 4 && rq.format == pf32_8888 && !rq.whiteMatte));
    auto outAt = [&](size_t y) { return rq.pixels ? job.pixels.Data() + y * outRow : nullptr; };

    if (passes > 1) {
        // Interlaced rows arrive in several passes: the whole picture first.
        job.rows = pendar::MakePixelBlock(rowBytes * h);
        job.rowPointers = pendar::MakePixelBlock(h * sizeof(png_bytep));
        if (!job.rows || !job.rowPointers)
            png_error(job.png, "LoadPng MemoryAllocError");
        auto* pointers = reinterpret_cast<png_bytep*>(job.rowPointers.get());
        for (size_t y = 0; y < h; ++y)
            pointers[y] = job.rows.get() + y * rowBytes;
        png_read_image(job.png, pointers);
        for (size_t y = 0; y < h; ++y)
            DeliverRow(job, rq, pointers[y], outAt(y), y);
    } else {
        if (!direct && !(job.rows = pendar::MakePixelBlock(rowBytes)))
            png_error(job.png, "LoadPng MemoryAllocError");
        for (size_t y = 0; y < h; ++y) {
            uint8_t* row = direct ? outAt(y) : job.rows.get();
            png_read_row(job.png, row, nullptr);
            DeliverRow(job, rq, row, outAt(y), y);
        }
    }
    png_read_end(job.png, nullptr);
}

// libpng's work, from the header on. A libpng error (its own, or a short
// read or refusal of ours) jumps back here: false.
bool Run(PngRead& job, const Request& rq)
{
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    png_set_read_fn(job.png, &job, ReadData);
    pendar::png::LimitReading(job.png);
    png_set_sig_bytes(job.png, 8);
    png_read_info(job.png, job.info);
    png_get_IHDR(job.png, job.info, &job.width, &job.height, &job.bitDepth, &job.colourType, &job.interlace,
                 nullptr, nullptr);
    if (rq.headerOnly)
        return true;
    // Grey pictures (one channel or two) are refused before any row is read.
    if (!Decodable(job))
        return false;
    if (rq.Decodes()) {
        // The size cap guards what is allocated, so a header alone is
        // answered whatever the size.
        if (!pendar::ImageSizeAllowed(job.width, job.height))
            return Refuse(&job.why, pendar::decode::SizeRefusal(job.width, job.height));
        Decode(job, rq);
    }
    return true;
}

// Opens libpng over the stream after checking the signature.
bool Open(PngRead& job, TStream* s)
{
    job.stream = s;
    if (!s)
        return Refuse(&job.why, "no stream");
    if (!pendar::png::ReadSignature(*s))
        return Refuse(&job.why, "not a PNG file");
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job.why, pendar::png::OnError, pendar::png::OnWarning);
    if (!job.png || !(job.info = png_create_info_struct(job.png)))
        return Refuse(&job.why, "LoadPng MemoryAllocError");
    return true;
}

bool Load(TStream* s, uchar** pixels, uchar** alpha, int* width, int* height, TPixFormat format, bool whiteMatte,
          std::string* reason)
{
    if (format < pf16_565 || format > pf32_8888)
        return Refuse(reason, pendar::decode::kBadFormat);
    PngRead job;
    Request rq{pixels, alpha, format, whiteMatte, false};
    if (!Open(job, s) || !Run(job, rq))
        return Refuse(reason, std::move(job.why));
    job.pixels.Commit();
    job.alpha.Commit();
    if (width)
        *width = static_cast<int>(job.width);
    if (height)
        *height = static_cast<int>(job.height);
    return true;
}

} // namespace

int ChkChannelPng(TStream* s)
{
    PngRead job;
    Request rq;
    rq.headerOnly = true;
    if (!Open(job, s) || !Run(job, rq))
        return 0;
    return ChannelsOf(job.colourType);
}

bool LoadPng(TStream* s, uchar** pixels, uchar** alpha, int* width, int* height, TPixFormat format,
             std::string* reason)
{
    return Load(s, pixels, alpha, width, height, format, false, reason);
}

bool LoadPng(TStream* s, uchar** pixels, int* width, int* height, TPixFormat format, std::string* reason)
{
    return Load(s, pixels, nullptr, width, height, format, false, reason);
}

bool LoadPngWhiteMat(TStream* s, uchar** pixels, uchar** alpha, int* width, int* height, TPixFormat format,
                     std::string* reason)
{
    return Load(s, pixels, alpha, width, height, format, true, reason);
}

bool LoadPngWhiteMat(TStream* s, uchar** pixels, int* width, int* height, TPixFormat format, std::string* reason)
{
    return Load(s, pixels, nullptr, width, height, format, true, reason);
}

uint8_t pendar::WhiteMatte(int a, int c)
{
    return a >= 0 && a < 256 && c >= 0 && c < 256 ? WhiteMatteTable()[size_t(a) * 256 + c] : 0;
}
