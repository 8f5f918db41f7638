// The range coder of the block-sorting codec: 31-bit registers, a pending
// byte and a count of carry-sensitive 0xFF bytes on the coding side, seven
// extra bits on the decoding side, over the quasi-static model.
#include "pack/CodecCall.h"
#include "pack/Zobrisca.h"

namespace {
constexpr int kLgTotal = 12;
constexpr int kTotal = 1 << kLgTotal;
constexpr int kTargetRescale = 2000;
constexpr uint32_t kTop = 0x80000000u;
constexpr uint32_t kBottom = 0x800000u;
constexpr int kShiftBits = 23;
} // namespace

bool TRangeCoder::Setup()
{
    return model_.Ready() ||
           model_.Open(kBriscaSymbols, kLgTotal, kTargetRescale, BriscaInitialFrequencies(), forEncoder_);
}

void TRangeCoder::Release()
{
    model_.Close();
}

void TRangeCoder::ResetModel()
{
    Release();
    Setup();
}

uint8_t TRangeDecode::NextByte()
{
    if (inPos_ < inCount_)
        return in_[inPos_++];
    failed_ = true;
    return 0;
}

void TRangeDecode::Normalize()
{
    if (range_ == 0)
        throw ECodecError{"Range Is Zero"};
    while (range_ <= kBottom) {
        low_ = (low_ << 8) | ((static_cast<uint32_t>(buffer_) << 7) & 0xFF);
        buffer_ = NextByte();
        low_ |= buffer_ >> 1;
        range_ <<= 8;
    }
}

void TRangeDecode::DecodeUpdate(int symFreq, int lowFreq, int total)
{
    uint32_t below = help_ * static_cast<uint32_t>(lowFreq);
    low_ -= below;
    if (lowFreq + symFreq < total)
        range_ = help_ * static_cast<uint32_t>(symFreq);
    else
        range_ -= below;
}

bool TRangeDecode::DecodeBlock(const unsigned char* in, unsigned char* __restrict out, int outCount, int inCount)
{
    OutSize = 0;
    if (inCount < 1)
        return true;
    if (!model_.Ready() || busy_)
        return false;
    if (inCount < 2)
        return false; // no room for the first code byte
    pendar::TFlagScope busy(busy_);
    in_ = in;
    inCount_ = inCount;
    failed_ = false;
    buffer_ = in[1]; // in[0] is the carry byte, which never carries
    inPos_ = 2;
    low_ = buffer_ >> 1;
    range_ = 0x80;
    // The loop is DecodeTarget, FindSymbol, DecodeUpdate and Update with the
    // registers held locally; the most probable symbol (0 after the
    // move-to-front stage) is recognised without the division.
    uint32_t low = low_;
    uint32_t range = range_;
    uint32_t help = 0;
    uint8_t buffer = buffer_;
    const uint16_t* cum = model_.CumFreq();
    unsigned char* next = out;
    unsigned char* const end = out + outCount;
    int symFreq = 0;
    int lowFreq = 0;
    while (next < end && !failed_) {
        if (range == 0)
            throw ECodecError{"Range Is Zero"};
        while (range <= kBottom) {
            low = (low << 8) | ((static_cast<uint32_t>(buffer) << 7) & 0xFF);
            buffer = NextByte();
            low |= buffer >> 1;
            range <<= 8;
        }
        help = range >> kLgTotal;
        uint32_t firstBound = help * cum[1];
        if (low < firstBound) { // floor(low / help) < cum[1]: symbol 0, which never ends the range
            range = firstBound;
            *next++ = 0;
            model_.Update(0);
            continue;
        }
        uint32_t t = low / help; // range > kBottom here, so help > 0
        if (t >> kLgTotal)
            t = kTotal - 1;
        int symbol = model_.FindSymbol(static_cast<int>(t));
        if (symbol == kBriscaEndSymbol)
            break;
        model_.GetFreq(symbol, symFreq, lowFreq);
        *next++ = static_cast<unsigned char>(symbol);
        uint32_t below = help * static_cast<uint32_t>(lowFreq);
        low -= below;
        if (lowFreq + symFreq < kTotal)
            range = help * static_cast<uint32_t>(symFreq);
        else
            range -= below;
        model_.Update(symbol);
    }
    low_ = low;
    range_ = range;
    help_ = help;
    buffer_ = buffer;
    model_.GetFreq(kBriscaEndSymbol, symFreq, lowFreq);
    DecodeUpdate(symFreq, lowFreq, kTotal);
    Normalize();
    OutSize = static_cast<int>(next - out);
    return !failed_;
}

void TRangeEncode::BeginBlock(unsigned char first, int byteCount)
{
    low_ = 0;
    range_ = kTop;
    buffer_ = first;
    help_ = 0;
    byteCount_ = byteCount;
}

void TRangeEncode::Normalize()
{
    if (range_ == 0)
        throw ECodecError{"Range Is Zero"};
    while (range_ <= kBottom) {
        if (low_ < (0xFFu << kShiftBits)) {
            Emit(buffer_);
            EmitRun(0xFF, help_);
            help_ = 0;
            buffer_ = static_cast<uint8_t>(low_ >> kShiftBits);
        } else if (low_ & kTop) {
            Emit(buffer_ + 1u);
            EmitRun(0x00, help_);
            help_ = 0;
            buffer_ = static_cast<uint8_t>((low_ >> kShiftBits) & 0xFF);
        } else {
            ++help_;
        }
        range_ <<= 8;
        low_ = (low_ << 8) & (kTop - 1);
        ++byteCount_;
    }
}

void TRangeEncode::EncodeShift(int symFreq, int lowFreq, int shift)
{
    Normalize();
    uint32_t r = range_ >> shift;
    uint32_t below = r * static_cast<uint32_t>(lowFreq);
    low_ += below;
    if ((lowFreq + symFreq) >> shift)
        range_ -= below;
    else
        range_ = r * static_cast<uint32_t>(symFreq);
}

int TRangeEncode::EndBlock()
{
    Normalize();
    byteCount_ += 5;
    uint32_t t = (low_ & (kBottom - 1)) >= (static_cast<uint32_t>(byteCount_ & 0xFFFFFF) >> 1)
                     ? (low_ >> kShiftBits) + 1
                     : low_ >> kShiftBits;
    if (t > 0xFF) {
        Emit(buffer_ + 1u);
        EmitRun(0x00, help_);
    } else {
        Emit(buffer_);
        EmitRun(0xFF, help_);
    }
    help_ = 0;
    Emit(t & 0xFF);
    Emit((static_cast<uint32_t>(byteCount_) >> 16) & 0xFF);
    Emit((static_cast<uint32_t>(byteCount_) >> 8) & 0xFF);
    Emit(static_cast<uint32_t>(byteCount_) & 0xFF);
    return byteCount_;
}

bool TRangeEncode::EncodeBlock(const unsigned char* in, unsigned char* out, int outLimit, int inCount)
{
    OutSize = 0;
    if (inCount < 1)
        return true;
    if (!model_.Ready() || busy_)
        return false;
    pendar::TFlagScope busy(busy_);
    out_ = out;
    outPos_ = 0;
    outLimit_ = outLimit;
    failed_ = false;
    BeginBlock(0, 0);
    int symFreq = 0;
    int lowFreq = 0;
    for (int i = 0; i < inCount && !failed_; ++i) {
        model_.GetFreq(in[i], symFreq, lowFreq);
        EncodeShift(symFreq, lowFreq, kLgTotal);
        model_.Update(in[i]);
    }
    model_.GetFreq(kBriscaEndSymbol, symFreq, lowFreq);
    EncodeShift(symFreq, lowFreq, kLgTotal);
    EndBlock();
    OutSize = failed_ ? 0 : outPos_;
    return !failed_;
}
