#include "app/SkinParse.h"

#include "app/SkinKeys.h"
#include "base/Zotext.h"
#include "port/Cp932.h"

#include <algorithm>
#include <climits>

namespace {

std::string UpperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

int AlignOf(std::string_view upper, int unchanged)
{
    for (int a = alFree; a <= alWinRight; ++a)
        if (upper == AlignWord(a))
            return a;
    return unchanged;
}

// The part before the first ',' that follows the value's first byte, and
// what comes after it; no such ',' gives the whole value and nullopt.
std::pair<std::string_view, std::optional<std::string_view>> SplitAtComma(std::string_view value)
{
    size_t comma = value.size() > 1 ? value.find(',', 1) : std::string_view::npos;
    if (comma == std::string_view::npos)
        return {value, std::nullopt};
    return {value.substr(0, comma), value.substr(comma + 1)};
}

// ANIMEn / CLICKn: file[,frames[,delay]]. The file is stored first; a
// number that does not parse ends the line with what was stored so far.
void ParseStrip(TSkinStrip& strip, std::string_view value)
{
    auto [file, rest] = SplitAtComma(value);
    strip.file = std::string(file);
    if (!rest) {
        strip.frames = 1;
        strip.delay = 0;
        return;
    }
    auto [framesText, delayText] = SplitAtComma(*rest);
    std::optional<int> frames = ParseSkinInt(framesText);
    if (!frames)
        return;
    strip.frames = *frames;
    if (!delayText) {
        strip.delay = 0;
        return;
    }
    if (std::optional<int> delay = ParseSkinInt(*delayText))
        strip.delay = *delay;
}

// PICTUREn and friends: the slot of a numbered key, or nullopt.
std::optional<size_t> SlotOf(std::string_view key, std::string_view prefix)
{
    if (key.size() <= prefix.size() || !StartsWith(key, prefix))
        return std::nullopt;
    std::optional<int> n = ParseSkinInt(key.substr(prefix.size()));
    if (!n || *n < 1 || *n > kSkinSlots)
        return std::nullopt;
    return static_cast<size_t>(*n - 1);
}

void ApplyNumbered(TSkinInfo& skin, const TSkinKey& key, size_t slot, std::string_view value)
{
    switch (key.kind) {
    case TSkinKeyKind::Pictures: skin.pictures[slot] = std::string(value); break;
    case TSkinKeyKind::RandomWavs: skin.randomWavs[slot] = std::string(value); break;
    case TSkinKeyKind::Animes: ParseStrip(skin.animes[slot], value); break;
    case TSkinKeyKind::Clicks: ParseStrip(skin.clicks[slot], value); break;
    default: break;
    }
}

bool IsNumbered(TSkinKeyKind kind)
{
    return kind == TSkinKeyKind::Pictures || kind == TSkinKeyKind::Animes || kind == TSkinKeyKind::Clicks ||
           kind == TSkinKeyKind::RandomWavs;
}

void ApplyFixed(TSkinInfo& skin, const TSkinKey& key, std::string_view value)
{
    switch (key.kind) {
    case TSkinKeyKind::Text:
        skin.*std::get<std::string TSkinInfo::*>(key.member) = UnquoteValue(value);
        break;
    case TSkinKeyKind::File:
        skin.*std::get<std::string TSkinInfo::*>(key.member) = std::string(value);
        break;
    case TSkinKeyKind::Integer:
        if (std::optional<int> n = ParseSkinInt(value))
            skin.*std::get<int TSkinInfo::*>(key.member) = *n;
        break;
    case TSkinKeyKind::Colour:
        if (std::optional<uint32_t> c = ParseSkinColour(value))
            skin.*std::get<uint32_t TSkinInfo::*>(key.member) = *c;
        break;
    case TSkinKeyKind::Align:
        skin.align = AlignOf(UpperAscii(value), skin.align);
        break;
    case TSkinKeyKind::OnTop:
        skin.onTop = UpperAscii(value) == "ON" ? 1 : 0;
        break;
    case TSkinKeyKind::BothMesOffsets:
        if (std::optional<int> n = ParseSkinInt(value))
            skin.mesOffsetLX = skin.mesOffsetRX = *n;
        break;
    default:
        break;
    }
}

} // namespace

std::vector<std::string_view> SplitSkinLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

std::string UnquoteValue(std::string_view text)
{
    if (text.size() > 3 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        // By characters: the second byte of a double-byte character may be
        // 0x5C and is never the start of an escape.
        if (port::IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
            out += text.substr(i, 2);
            ++i;
        } else if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::optional<int> ParseSkinInt(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<uint32_t> ParseSkinColour(std::string_view text)
{
    if (text.size() < 2 || text[0] != '#')
        return std::nullopt;
    auto rgb = static_cast<uint32_t>(HexToInt(text.substr(1)));
    return 0x02000000u | ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

void ParseSkinLine(TSkinInfo& skin, std::string_view line)
{
    if (line.size() < 2 || StartsWith(line, "//"))
        return;
    size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return;
    const std::string key = UpperAscii(line.substr(0, equals));
    const std::string_view value = line.substr(equals + 1);
    for (const TSkinKey& k : SkinKeys()) {
        if (!IsNumbered(k.kind) && key == k.name) {
            ApplyFixed(skin, k, value);
            return;
        }
    }
    for (const TSkinKey& k : SkinKeys()) {
        if (!IsNumbered(k.kind))
            continue;
        if (std::optional<size_t> slot = SlotOf(key, k.name)) {
            ApplyNumbered(skin, k, *slot, value);
            return;
        }
    }
}

void FinishSkinInfo(TSkinInfo& skin)
{
    if (skin.onTop < 0)
        skin.onTop = skin.align > alRight ? 1 : 0;
    skin.mesOffsetLX = std::max(skin.mesOffsetLX, 0);
    skin.mesOffsetRX = std::max(skin.mesOffsetRX, 0);
    // The strip has room for 25 frames from cell 17; a larger count would
    // read past its end.
    skin.quentilFlag = std::min(skin.quentilFlag, kMaxQuentilFrames);
    // A frame count is a divisor; a negative delay runs like 0 but could
    // not be counted down safely.
    for (auto* strips : {&skin.animes, &skin.clicks}) {
        for (TSkinStrip& s : *strips) {
            s.frames = std::max(s.frames, 1);
            s.delay = std::max(s.delay, 0);
        }
    }
    skin.CountSlots();
}
