// PNG writing through libpng, with the error handling of the reader: the
// structures and rows live in a PngWrite outside the function that calls
// setjmp.
#include "raster/PngLoader.h"

#include "raster/PixelMemory.h"
#include "raster/PixelRows.h"
#include "raster/PngSupport.h"

namespace {

struct PngWrite {
    TStream* stream = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    pendar::TPixelBlock triple; // one source row as blue, green, red
    pendar::TPixelBlock row;    // one file row: red, green, blue (and alpha)

    PngWrite() = default;
    PngWrite(const PngWrite&) = delete;
    PngWrite& operator=(const PngWrite&) = delete;
    ~PngWrite()
    {
        if (png)
            png_destroy_write_struct(&png, &info);
    }
};

void WriteData(png_structp png, png_bytep data, size_t length)
{
    auto* job = static_cast<PngWrite*>(png_get_io_ptr(png));
    if (!pendar::png::WriteExactly(*job->stream, data, length))
        png_error(png, "Png Error. Write Error.");
}

void FlushNothing(png_structp) {}

bool Run(PngWrite& job, const uchar* pixels, const uchar* alpha, int width, int height, TPixFormat format)
{
    if (setjmp(png_jmpbuf(job.png)))
        return false;
    png_set_write_fn(job.png, &job, WriteData, FlushNothing);
    const size_t w = size_t(width);
    const size_t channels = alpha ? 4 : 3;
    png_set_IHDR(job.png, job.info, png_uint_32(width), png_uint_32(height), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(job.png, job.info);
    const size_t sourceRow = w * FormatAndDepthTable[format];
    for (size_t y = 0; y < size_t(height); ++y) {
        RGBTRIPLEcpyFromProcTable[format](job.triple.get(), pixels + y * sourceRow, static_cast<unsigned>(w));
        const uint8_t* bgr = job.triple.get();
        uint8_t* out = job.row.get();
        for (size_t x = 0; x < w; ++x, out += channels, bgr += 3) {
            out[0] = bgr[2];
            out[1] = bgr[1];
            out[2] = bgr[0];
            if (alpha)
                out[3] = alpha[y * w + x];
        }
        png_write_row(job.png, job.row.get());
    }
    png_write_end(job.png, job.info);
    return true;
}

} // namespace

bool SavePng(TStream* s, const uchar* pixels, const uchar* alpha, int width, int height, TPixFormat format)
{
    if (!s || !pixels || format < pf16_565 || format > pf32_8888 || !pendar::ImageSizeAllowed(width, height))
        return false;
    PngWrite job;
    job.stream = s;
    job.triple = pendar::MakePixelBlock(size_t(width) * 3);
    job.row = pendar::MakePixelBlock(size_t(width) * (alpha ? 4 : 3));
    if (!job.triple || !job.row)
        return false;
    job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pendar::png::OnError, pendar::png::OnWarning);
    if (!job.png || !(job.info = png_create_info_struct(job.png)))
        return false;
    return Run(job, pixels, alpha, width, height, format);
}

bool SavePng(TStream* s, const uchar* pixels, int width, int height, TPixFormat format)
{
    return SavePng(s, pixels, nullptr, width, height, format);
}
