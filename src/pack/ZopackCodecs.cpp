// The pack's codec plumbing, its copy loop and TZoCompStream.
#include "pack/CodecStreams.h"
#include "pack/Codec.h"
#include "pack/Zopack.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr int kCopyPiece = 32768;

// The output limit every encoder call gets: twice the input.
int EncodeLimit(int size)
{
    return static_cast<int>(std::min<int64_t>(2 * static_cast<int64_t>(size), INT_MAX));
}

} // namespace

namespace {

// One transfer; an exception of the stream counts as nothing moved.
template <typename Move>
bool Transfer(int size, int* done, Move&& move)
{
    int n = 0;
    try {
        n = static_cast<int>(move());
    } catch (const std::exception&) {
        n = 0;
    }
    if (done)
        *done = n;
    return n == size;
}

} // namespace

bool TZoPack::StreamRead(TStream* stream, void* buf, int size, int* done)
{
    return Transfer(size, done, [&] { return stream->Read(buf, size); });
}

bool TZoPack::StreamWrite(TStream* stream, const void* buf, int size, int* done)
{
    return Transfer(size, done, [&] { return stream->Write(buf, size); });
}

void TZoPack::NotCoding(void* data, int n)
{
    auto* p = static_cast<unsigned char*>(data);
    for (int i = 0; i < n; ++i)
        p[i] = static_cast<unsigned char>(~p[i]);
}

bool TZoPack::FileDecode(TStream* out, TStream* in, int size, int dsize, int codec)
{
    // The size is capped by what the stream could possibly expand to.
    if (!out || !in || size < 0 || dsize < 0 || size > zopack::MaxDecodedSize(codec, dsize))
        return false;
    return DecodeStream(*in, dsize, *out, size, codec, [this](int percent) { CallBackProgress(percent); });
}

int TZoPack::FileEncode(TStream* out, TStream* in, int codec, int size)
{
    if (!out || !in || size <= 0)
        return 0;
    return EncodeStream(*in, size, *out, EncodeLimit(size), codec, [this](int percent) { CallBackProgress(percent); });
}

std::optional<unsigned short> TZoPack::CopyPieces(TStream* out, bool complement, int64_t count,
                                                  const std::function<bool(unsigned char*, int)>& read)
{
    if (!out || count < 0)
        return std::nullopt;
    std::vector<unsigned char> buf;
    try {
        buf.resize(static_cast<size_t>(std::min<int64_t>(count, kCopyPiece)));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    CallBackProgress(0);
    unsigned short crc = 0xFFFF;
    for (int64_t done = 0; done < count;) {
        int len = static_cast<int>(std::min<int64_t>(kCopyPiece, count - done));
        if (!read(buf.data(), len))
            return std::nullopt;
        done += len;
        CallBackProgress(CodecPercent(done, count));
        if (complement)
            NotCoding(buf.data(), len);
        if (!StreamWrite(out, buf.data(), len, nullptr))
            return std::nullopt;
        crc = crc_.UpDateCrc(crc, buf.data(), len);
    }
    return crc;
}

std::optional<unsigned short> TZoPack::FileCopy(TStream* out, TStream* in, bool complement, int64_t count)
{
    if (!in)
        return std::nullopt;
    return CopyPieces(out, complement, count,
                      [in](unsigned char* buf, int len) { return StreamRead(in, buf, len, nullptr); });
}

bool TZoCompStream::DecodeBuffer(TStream* in, int inSize, TStream* out, int outSize, int codec)
{
    if (inSize <= 0 || outSize <= 0 || !in || !out)
        return false;
    return DecodeStream(*in, inSize, *out, outSize, codec, nullptr);
}

bool TZoCompStream::EncodeBuffer(TStream* in, int size, TStream* out, int* outSize, int codec)
{
    if (size <= 0 || !in || !out)
        return false;
    if (outSize)
        *outSize = 0;
    int coded = EncodeStream(*in, size, *out, EncodeLimit(size), codec, nullptr);
    if (coded == 0)
        return false;
    if (outSize)
        *outSize = coded;
    return true;
}
