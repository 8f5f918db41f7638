#include "mail/Pdjpcode.h"

#include "mail/Base64Digit.h"
#include "port/Cp932.h"
#include "port/MessageBoxes.h"

#include <algorithm>
#include <new>

namespace {

constexpr char kEsc = 0x1B;

constexpr uint16_t kHankana[64] = {
    0x2121, 0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523, 0x2525, 0x2527, 0x2529, 0x2563,
    0x2565, 0x2567, 0x2543, 0x213C, 0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B, 0x252D, 0x252F, 0x2531,
    0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F, 0x2541, 0x2544, 0x2546, 0x2548, 0x254A, 0x254B,
    0x254C, 0x254D, 0x254E, 0x254F, 0x2552, 0x2555, 0x2558, 0x255B, 0x255E, 0x255F, 0x2560, 0x2561, 0x2562,
    0x2564, 0x2566, 0x2568, 0x2569, 0x256A, 0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C};

bool IsSjisPair(uint8_t b1, uint8_t b2)
{
    return ((b1 >= 0x81 && b1 <= 0x9F) || (b1 >= 0xE0 && b1 <= 0xFC)) && b2 >= 0x40 && b2 <= 0xFC && b2 != 0x7F;
}

bool IsEucPair(uint8_t b1, uint8_t b2)
{
    return (b1 == 0x8E && b2 >= 0xA0 && b2 <= 0xDF) || (b1 >= 0xA1 && b1 <= 0xFE && b2 >= 0xA1 && b2 <= 0xFE);
}

// The output of one conversion step: at most an escape sequence and a
// double-byte character, or a line end.
struct Piece {
    char bytes[5];
    size_t size = 0;
    void Add(char c) { bytes[size++] = c; }
    void AddEscape(char a, char b)
    {
        Add(kEsc);
        Add(a);
        Add(b);
    }
    void AddPair(uint16_t c)
    {
        Add(static_cast<char>(c >> 8));
        Add(static_cast<char>(c & 0xFF));
    }
};

class KanjiConverter {
public:
    KanjiConverter(std::string_view text, int from, int to, bool crlf)
        : in_(text), source_(from), to_(to), crlf_(crlf)
    {
        // The bound of the output; three bytes stay free for the closing
        // escape sequence when the target is JIS.
        capacity_ = std::max<size_t>(3 * text.size(), 256);
        limit_ = capacity_ - (to == kcJis ? 3 : 0);
        out_.reserve(capacity_);
    }

    std::string Run()
    {
        while (pos_ < in_.size() && out_.size() + 3 < capacity_) {
            Piece piece;
            size_t consumed = mode_ == kModeJis ? StepInJis(piece) : StepOutsideJis(piece);
            if (out_.size() + piece.size > limit_)
                break; // a step never writes past the bound
            out_.append(piece.bytes, piece.size);
            pos_ += consumed;
            mode_ = nextMode_;
            source_ = nextSource_;
        }
        if (mode_ != kModeSingle && to_ == kcJis) {
            out_ += kEsc;
            out_ += "(B";
        }
        size_t nul = out_.find('\0');
        if (nul != std::string::npos)
            out_.resize(nul);
        return std::move(out_);
    }

private:
    static constexpr int kModeSingle = 0;
    static constexpr int kModeSjis = 1;
    static constexpr int kModeJis = 2;
    static constexpr int kModeEuc = 3;

    uint8_t At(size_t i) const { return static_cast<uint8_t>(in_[i]); }
    size_t Left() const { return in_.size() - pos_; }

    // Computes one step into `piece` without committing it; returns the
    // number of input bytes it takes.
    size_t StepOutsideJis(Piece& piece)
    {
        nextMode_ = mode_;
        nextSource_ = source_;
        uint8_t b = At(pos_);
        if ((source_ == kcAuto || source_ == kcJis) && b == 0x1B) {
            if (Left() < 3) {
                piece.Add(kEsc);
                return 1;
            }
            if (At(pos_ + 1) == 0x24 && (At(pos_ + 2) == 0x42 || At(pos_ + 2) == 0x40)) {
                if (to_ == kcJis)
                    piece.AddEscape('$', 'B');
                nextMode_ = kModeJis;
                if (source_ == kcAuto)
                    nextSource_ = kcJis;
                return 3;
            }
        }
        if (Left() >= 2) {
            uint8_t b2 = At(pos_ + 1);
            uint16_t pair = static_cast<uint16_t>(b << 8 | b2);
            if ((source_ == kcAuto || source_ == kcSjis) && IsSjisPair(b, b2))
                return TakeDoubleByte(piece, kcSjis,
                                      to_ == kcJis ? SjisToJis(pair) : to_ == kcEuc ? SjisToEuc(pair) : pair);
            if ((source_ == kcAuto || source_ == kcEuc) && IsEucPair(b, b2))
                return TakeDoubleByte(piece, kcEuc,
                                      to_ == kcSjis ? EucToSjis(pair) : to_ == kcJis ? EucToJis(pair) : pair);
        }
        if (mode_ != kModeSingle) {
            if (to_ == kcJis)
                piece.AddEscape('(', 'B');
            nextMode_ = kModeSingle;
        }
        if (b == '\r' || b == '\n') {
            if (crlf_)
                piece.Add('\r');
            piece.Add('\n');
            return b == '\r' && Left() >= 2 && At(pos_ + 1) == '\n' ? 2 : 1;
        }
        piece.Add(static_cast<char>(b));
        return 1;
    }

    // A Shift_JIS or EUC character found by its source: fixes the source
    // when detecting, enters the double-byte mode, writes the converted pair.
    size_t TakeDoubleByte(Piece& piece, int source, uint16_t converted)
    {
        if (source_ == kcAuto)
            nextSource_ = source;
        if (mode_ == kModeSingle) {
            if (to_ == kcJis)
                piece.AddEscape('$', 'B');
            nextMode_ = source == kcSjis ? kModeSjis : kModeEuc;
        }
        piece.AddPair(converted);
        return 2;
    }

    size_t StepInJis(Piece& piece)
    {
        nextMode_ = mode_;
        nextSource_ = source_;
        uint8_t b = At(pos_);
        if (b == 0x1B) {
            if (Left() >= 3 && At(pos_ + 1) == '(' && (At(pos_ + 2) == 'B' || At(pos_ + 2) == 'J')) {
                if (to_ == kcJis)
                    piece.AddEscape('(', 'B');
                nextMode_ = kModeSingle;
                return 3;
            }
            piece.Add(kEsc);
            return 1;
        }
        if (Left() < 2) {
            piece.Add(static_cast<char>(b));
            return 1;
        }
        uint16_t pair = static_cast<uint16_t>(b << 8 | At(pos_ + 1));
        piece.AddPair(to_ == kcSjis ? JisToSjis(pair) : to_ == kcEuc ? JisToEuc(pair) : pair);
        return 2;
    }

    std::string_view in_;
    std::string out_;
    size_t pos_ = 0;
    size_t capacity_ = 0;
    size_t limit_ = 0;
    int source_;
    int nextSource_ = 0;
    int to_;
    bool crlf_;
    int mode_ = kModeSingle;
    int nextMode_ = kModeSingle;
};

} // namespace

uint16_t SjisToJis(uint16_t c)
{
    unsigned h = (2u * (c >> 8)) & 0xFF;
    unsigned l = ((c & 0xFF) - 0x1Fu) & 0xFF;
    if (l < 0x80)
        l = (l >= 0x61 ? l - 0x22 : l - 0x21) & 0xFF;
    return static_cast<uint16_t>(((h << 8) + l + 0x1FA1) & 0x7F7F);
}

uint16_t JisToSjis(uint16_t c)
{
    unsigned j1 = c >> 8;
    unsigned j2 = c & 0xFF;
    if (j1 & 1)
        j2 = (j2 >= 0x60 ? j2 - 0x5E : j2 - 0x5F) & 0xFF;
    unsigned s1 = ((((j1 + 1) / 2 + 0x50) | 0x40) + 0x20) & 0xFF;
    unsigned s2 = (j2 + 0x7E) & 0xFF;
    return static_cast<uint16_t>(s1 << 8 | s2);
}

uint16_t JisToEuc(uint16_t c)
{
    return c | 0x8080;
}

uint16_t EucToJis(uint16_t c)
{
    if ((c >> 8) == 0x8E)
        return HankanaToJis(static_cast<uint8_t>(c & 0xFF));
    return c & 0x7F7F;
}

uint16_t SjisToEuc(uint16_t c)
{
    return SjisToJis(c) | 0x8080;
}

uint16_t EucToSjis(uint16_t c)
{
    return JisToSjis(EucToJis(c));
}

uint16_t HankanaToJis(uint8_t b)
{
    return b >= 0xA0 && b <= 0xDF ? kHankana[b - 0xA0] : 0;
}

std::string ConvertKanjiCode(std::string_view text, int from, int to, bool crlf)
{
    if (from < kcAuto || from > kcEuc || to < kcSjis || to > kcEuc)
        return std::string(text.substr(0, text.find('\0')));
    try {
        return KanjiConverter(text, from, to, crlf).Run();
    } catch (const std::bad_alloc&) {
        port::MessageBoxes().Show("Out of memory", "SorelPendar", port::MessageButtons::Ok,
                                  port::MessageIcon::Error);
        return {};
    }
}

namespace pendar {

std::u16string Utf8ToUnits(std::string_view text)
{
    std::u16string units;
    units.reserve(text.size());
    auto at = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    size_t i = 0;
    while (i < text.size()) {
        uint8_t b0 = at(i);
        if (b0 < 0x80) {
            units += static_cast<char16_t>(b0);
            ++i;
            continue;
        }
        size_t length = (b0 & 0xE0) == 0xC0 ? 2 : 3;
        if (text.size() - i < length) {
            units += u'\uFFFD'; // cut short by the end of the text
            break;
        }
        if (length == 2)
            units += static_cast<char16_t>((b0 & 0x1F) << 6 | (at(i + 1) & 0x3F));
        else
            units += static_cast<char16_t>((b0 & 0x0F) << 12 | (at(i + 1) & 0x3F) << 6 | (at(i + 2) & 0x3F));
        i += length;
    }
    return units;
}

std::u16string Utf7ToUnits(std::string_view text)
{
    std::u16string units;
    units.reserve(text.size());
    bool inRun = false;
    uint32_t bits = 0;
    int bitCount = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (inRun) {
            int v = Base64Digit(c);
            if (v >= 0) {
                bits = (bits << 6 | static_cast<uint32_t>(v)) & 0xFFFFFF;
                bitCount += 6;
                if (bitCount >= 16) {
                    bitCount -= 16;
                    units += static_cast<char16_t>((bits >> bitCount) & 0xFFFF);
                }
                continue;
            }
            inRun = false; // bits left over are dropped
            if (c == '-')
                continue;
        } else if (c == '+') {
            if (i + 1 < text.size() && text[i + 1] == '-') {
                units += u'+';
                ++i;
            } else {
                inRun = true;
                bits = 0;
                bitCount = 0;
            }
            continue;
        }
        units += static_cast<char16_t>(static_cast<uint8_t>(c));
    }
    return units;
}

} // namespace pendar

std::string Utf8ToSjis(std::string_view text)
{
    return port::Utf16ToCp932(pendar::Utf8ToUnits(text));
}

std::string Utf7ToSjis(std::string_view text)
{
    return port::Utf16ToCp932(pendar::Utf7ToUnits(text));
}
