// Builds PNG and JPEG files for the tests with libpng and libjpeg directly
// (every colour type, bit depth and interlacing; baseline and progressive,
// colour, grey and CMYK), and GNY files with a chosen table; and a stream
// that stops moving bytes after a given count.
#pragma once

#include "port/Stream.h"

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace pendar::test {

struct PngSpec {
    int width = 1;
    int height = 1;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette; // palette pictures
    std::vector<uint8_t> trns;      // a transparency chunk, when not empty
};

inline int PngChannels(int colourType)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    default: return 4;
    }
}

// `samples`: width * height * channels values of bitDepth bits, row by row.
inline std::vector<uint8_t> MakePng(const PngSpec& spec, const std::vector<uint16_t>& samples)
{
    std::vector<uint8_t> out;
    // A fixture the test meant to be valid: any error is the test's fault.
    png_structp png = png_create_write_struct(
        PNG_LIBPNG_VER_STRING, nullptr,
        [](png_structp, png_const_charp message) {
            std::fprintf(stderr, "PNG fixture: %s\n", message);
            std::abort();
        },
        [](png_structp, png_const_charp) {});
    png_infop info = png_create_info_struct(png);
    const int channels = PngChannels(spec.colourType);
    const size_t rowBytes = (size_t(spec.width) * channels * spec.bitDepth + 7) / 8;
    std::vector<uint8_t> image(rowBytes * spec.height, 0);
    std::vector<png_bytep> rows(spec.height);
    // Palette indices beyond the palette are written as they are.
    png_set_benign_errors(png, 1);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, size_t n) {
            auto* v = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
            v->insert(v->end(), data, data + n);
        },
        [](png_structp) {});
    png_set_IHDR(png, info, png_uint_32(spec.width), png_uint_32(spec.height), spec.bitDepth, spec.colourType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty())
        png_set_PLTE(png, info, spec.palette.data(), int(spec.palette.size()));
    if (!spec.trns.empty()) {
        png_color_16 colour{0, 0, 0, 0, 0};
        png_set_tRNS(png, info, spec.trns.data(), int(spec.trns.size()), &colour);
    }
    for (int y = 0; y < spec.height; ++y) {
        uint8_t* row = image.data() + size_t(y) * rowBytes;
        rows[y] = row;
        for (int i = 0; i < spec.width * channels; ++i) {
            const uint16_t v = samples[size_t(y) * spec.width * channels + i];
            if (spec.bitDepth == 16) {
                row[2 * i] = uint8_t(v >> 8);
                row[2 * i + 1] = uint8_t(v);
            } else if (spec.bitDepth == 8) {
                row[i] = uint8_t(v);
            } else {
                const int perByte = 8 / spec.bitDepth;
                const int shift = 8 - spec.bitDepth * (1 + i % perByte);
                row[i / perByte] |= uint8_t((v & ((1 << spec.bitDepth) - 1)) << shift);
            }
        }
    }
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

enum class JpegKind { Colour, Grey, Cmyk };

struct JpegSpec {
    int width = 8;
    int height = 8;
    JpegKind kind = JpegKind::Colour;
    bool progressive = false;
    int quality = 90;
    int subsampling = 2; // horizontal and vertical factor of the first component
    int restartRows = 0;
};

// `samples`: width * height * components bytes (RGB, grey or CMYK).
inline std::vector<uint8_t> MakeJpeg(const JpegSpec& spec, const std::vector<uint8_t>& samples)
{
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = JDIMENSION(spec.width);
    c.image_height = JDIMENSION(spec.height);
    c.input_components = spec.kind == JpegKind::Colour ? 3 : spec.kind == JpegKind::Grey ? 1 : 4;
    c.in_color_space = spec.kind == JpegKind::Colour ? JCS_RGB : spec.kind == JpegKind::Grey ? JCS_GRAYSCALE : JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, spec.quality, TRUE);
    if (spec.kind == JpegKind::Colour) {
        c.comp_info[0].h_samp_factor = spec.subsampling;
        c.comp_info[0].v_samp_factor = spec.subsampling;
    }
    if (spec.progressive)
        jpeg_simple_progression(&c);
    c.restart_in_rows = spec.restartRows;
    jpeg_start_compress(&c, TRUE);
    const size_t rowBytes = size_t(spec.width) * c.input_components;
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + c.next_scanline * rowBytes);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return out;
}

// The pixels libjpeg itself decodes from a file, as blue, green, red rows.
inline std::vector<uint8_t> DecodeJpegBgr(const std::vector<uint8_t>& file, int* width = nullptr, int* height = nullptr)
{
    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    err.output_message = [](j_common_ptr) {};
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&d);
    std::vector<uint8_t> out(size_t(d.output_width) * d.output_height * 3);
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = out.data() + size_t(d.output_scanline) * d.output_width * 3;
        jpeg_read_scanlines(&d, &row, 1);
    }
    if (width)
        *width = int(d.output_width);
    if (height)
        *height = int(d.output_height);
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return out;
}

// A GNY file: width and height, then the rows of blue, green, red, all
// scrambled with the table.
inline std::vector<uint8_t> MakeGny(int32_t width, int32_t height, const std::vector<uint8_t>& pixels,
                                    const uint8_t* table)
{
    std::vector<uint8_t> out;
    for (int32_t v : {width, height}) {
        for (int i = 0; i < 4; ++i)
            out.push_back(uint8_t(uint32_t(v) >> (8 * i)));
    }
    out.insert(out.end(), pixels.begin(), pixels.end());
    for (size_t k = 0; k < out.size(); ++k)
        out[k] ^= table[k % 256];
    return out;
}

// A memory stream that moves at most `limit` bytes in all, then nothing;
// with `raise`, it throws instead.
class LimitedStream : public TMemoryStream {
public:
    LimitedStream(std::vector<uint8_t> bytes, int64_t limit, bool raise = false)
        : TMemoryStream(std::move(bytes)), left_(limit), raise_(raise)
    {
    }
    int64_t Read(void* buffer, int64_t count) override { return TMemoryStream::Read(buffer, Allow(count)); }
    int64_t Write(const void* buffer, int64_t count) override { return TMemoryStream::Write(buffer, Allow(count)); }

private:
    int64_t Allow(int64_t count)
    {
        const int64_t n = count < left_ ? count : left_;
        if (n < count && raise_)
            throw std::runtime_error("stream failed");
        left_ -= n;
        return n;
    }
    int64_t left_;
    bool raise_;
};

} // namespace pendar::test
