// JPEG reading through libjpeg's 6b interface. Library errors end in a
// longjmp back to Run(); everything a decode owns lives in a JpegRead
// outside that function, so the jump skips no destructor.
#include "raster/JpegLoader.h"

#include "raster/DecoderSupport.h"
#include "raster/PixelRows.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <cstdio> // jpeglib.h needs FILE
#include <string>
#include <utility>

#include <jerror.h>
#include <jpeglib.h>

namespace {

using pendar::TPixelBlock;
using pendar::decode::OutputBlock;

constexpr size_t kInputBuffer = 4096;
constexpr int kMaxScans = 1000;
constexpr size_t kRowsPerRead = 16;
constexpr long kMaxWorkingMemory = 1L << 30;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    std::string why; // the library's message for the error that ended the decode
};

struct StreamSource {
    jpeg_source_mgr pub;
    TStream* stream = nullptr;
    bool started = false; // some data has been read
    JOCTET buffer[kInputBuffer];
};

struct JpegRead {
    jpeg_decompress_struct cinfo{};
    ErrorManager error{};
    StreamSource source{};
    jpeg_progress_mgr progress{};
    bool created = false;
    OutputBlock<uchar> pixels;
    TPixelBlock row; // decoded rows as blue, green, red, for 16-bit output

    JpegRead() = default;
    JpegRead(const JpegRead&) = delete;
    JpegRead& operator=(const JpegRead&) = delete;
    ~JpegRead()
    {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    auto* error = reinterpret_cast<ErrorManager*>(cinfo->err);
    char message[JMSG_LENGTH_MAX] = {};
    cinfo->err->format_message(cinfo, message);
    error->why = message;
    std::longjmp(error->jump, 1);
}

// The library's messages are not shown anywhere.
void OutputNothing(j_common_ptr) {}

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo)
{
    auto* src = reinterpret_cast<StreamSource*>(cinfo->src);
    int64_t got = 0;
    try {
        got = src->stream->Read(src->buffer, kInputBuffer);
    } catch (...) {
        got = -1;
    }
    if (got < 0)
        ERREXIT(cinfo, JERR_FILE_READ);
    if (got == 0) {
        if (!src->started)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // The data ended early: an end-of-image marker lets the library
        // finish with what it has.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        got = 2;
    }
    src->started = true;
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = static_cast<size_t>(got);
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr* src = cinfo->src;
    while (static_cast<size_t>(count) > src->bytes_in_buffer) {
        count -= static_cast<long>(src->bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

// Progressive pictures of very many scans cost time without end.
void LimitScans(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        ERREXIT(cinfo, JERR_NOTIMPL);
}

// The fourth byte of 32-bit pixels the library wrote as blue, green, red and
// 0xFF: the engine's 24-bit colours carry 0 there.
void ClearFourthBytes(uint8_t* row, size_t count)
{
    // Four pixels a step; a row is decoded into cache just before.
    typedef uint32_t Quads __attribute__((vector_size(16)));
    const Quads colour = {0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF};
    size_t x = 0;
    for (; x + 4 <= count; x += 4) {
        Quads v;
        std::memcpy(&v, row + 4 * x, sizeof v);
        v &= colour;
        std::memcpy(row + 4 * x, &v, sizeof v);
    }
    for (; x < count; ++x)
        row[4 * x + 3] = 0;
}

void Decode(JpegRead& job, uchar** pixels, TPixFormat format)
{
    jpeg_decompress_struct& cinfo = job.cinfo;
    // 24- and 32-bit rows are decoded straight into the output; 16-bit ones
    // through a 24-bit row.
    const int bpp = FormatAndDepthTable[format];
    const bool quads = bpp == 4;
    const bool direct = bpp >= 3;
    cinfo.out_color_space = quads ? JCS_EXT_BGRX : JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    const size_t w = cinfo.output_width;
    const size_t h = cinfo.output_height;
    if (cinfo.output_components != (quads ? 4 : 3) || w != cinfo.image_width || h != cinfo.image_height)
        ERREXIT(&cinfo, JERR_BAD_IN_COLORSPACE);
    const size_t outRow = w * bpp;
    if (!job.pixels.Prepare(pixels, outRow * h) ||
        (!direct && !(job.row = pendar::MakePixelBlock(w * 3 * kRowsPerRead))))
        ERREXIT1(&cinfo, JERR_OUT_OF_MEMORY, 0);
    const TRGBCpyProc convert = RGBTRIPLEcpyToProcTable[format];
    // Several rows a call: the library then writes upsampled rows in place
    // instead of through a spare row.
    JSAMPROW rows[kRowsPerRead];
    while (cinfo.output_scanline < cinfo.output_height) {
        const size_t first = cinfo.output_scanline;
        const size_t count = std::min<size_t>(kRowsPerRead, h - first);
        for (size_t i = 0; i < count; ++i)
            rows[i] = direct ? job.pixels.Data() + (first + i) * outRow : job.row.get() + i * w * 3;
        const JDIMENSION read = jpeg_read_scanlines(&cinfo, rows, JDIMENSION(count));
        if (read == 0)
            ERREXIT(&cinfo, JERR_INPUT_EOF);
        for (size_t i = 0; i < read; ++i) {
            uint8_t* out = job.pixels.Data() + (first + i) * outRow;
            if (quads)
                ClearFourthBytes(out, w);
            else if (!direct)
                convert(out, rows[i], static_cast<unsigned>(w));
        }
    }
    jpeg_finish_decompress(&cinfo);
}

bool Run(JpegRead& job, uchar** pixels, TPixFormat format)
{
    jpeg_decompress_struct& cinfo = job.cinfo;
    cinfo.err = jpeg_std_error(&job.error.pub);
    job.error.pub.error_exit = ErrorExit;
    job.error.pub.output_message = OutputNothing;
    if (setjmp(job.error.jump))
        return false;
    jpeg_create_decompress(&cinfo);
    job.created = true;
    cinfo.mem->max_memory_to_use = kMaxWorkingMemory;
    job.progress.progress_monitor = LimitScans;
    cinfo.progress = &job.progress;
    job.source.pub.init_source = InitSource;
    job.source.pub.fill_input_buffer = FillInputBuffer;
    job.source.pub.skip_input_data = SkipInputData;
    job.source.pub.resync_to_restart = jpeg_resync_to_restart;
    job.source.pub.term_source = TermSource;
    cinfo.src = &job.source.pub;
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK)
        return pendar::decode::Refuse(&job.error.why, "no picture in the file");
    if (!pendar::ImageSizeAllowed(cinfo.image_width, cinfo.image_height))
        return pendar::decode::Refuse(&job.error.why,
                                      pendar::decode::SizeRefusal(cinfo.image_width, cinfo.image_height));
    if (pixels)
        Decode(job, pixels, format);
    return true;
}

} // namespace

bool LoadJpeg(TStream* s, uchar** pixels, int* width, int* height, TPixFormat format, std::string* reason)
{
    if (!s)
        return pendar::decode::Refuse(reason, "no stream");
    if (format < pf16_565 || format > pf32_8888)
        return pendar::decode::Refuse(reason, pendar::decode::kBadFormat);
    JpegRead job;
    job.source.stream = s;
    if (!Run(job, pixels, format))
        return pendar::decode::Refuse(reason, std::move(job.error.why));
    job.pixels.Commit();
    if (width)
        *width = static_cast<int>(job.cinfo.image_width);
    if (height)
        *height = static_cast<int>(job.cinfo.image_height);
    return true;
}
