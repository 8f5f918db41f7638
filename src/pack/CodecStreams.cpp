#include "pack/CodecStreams.h"

#include "pack/Zobrisca.h"
#include "pack/Zolunet.h"

#include <memory>

namespace {

// Callbacks over two streams that count what went through; a stream that
// throws moves nothing.
struct StreamPipe {
    TStream& in;
    TStream& out;
    long long written = 0;

    TCodecRead Reader()
    {
        return [this](unsigned char* buf, int len) {
            try {
                return in.Read(buf, len) == len;
            } catch (const std::exception&) {
                return false;
            }
        };
    }
    TCodecWrite Writer()
    {
        return [this](const unsigned char* buf, int len) {
            try {
                if (out.Write(buf, len) != len)
                    return false;
            } catch (const std::exception&) {
                return false;
            }
            written += len;
            return true;
        };
    }
};

} // namespace

bool DecodeStream(TStream& in, int inSize, TStream& out, int outSize, int codec, const TCodecProgress& progress)
{
    StreamPipe pipe{in, out};
    bool ok;
    if (codec == cnLunet)
        ok = TLunetDecode().Decode(inSize, outSize, pipe.Reader(), pipe.Writer(), progress);
    else
        ok = TBriscaDecode().Decode(inSize, outSize, pipe.Reader(), pipe.Writer(), progress);
    return ok && pipe.written == outSize;
}

int EncodeStream(TStream& in, int size, TStream& out, int limit, int codec, const TCodecProgress& progress)
{
    StreamPipe pipe{in, out};
    bool ok;
    if (codec == cnLunet) {
        ok = TLunetEncode().Encode(size, limit, pipe.Reader(), pipe.Writer(), progress);
    } else {
        ok = MakeBriscaEncoder(codec)->Encode(size, limit, pipe.Reader(), pipe.Writer(), progress);
    }
    return ok && pipe.written <= limit ? static_cast<int>(pipe.written) : 0;
}
