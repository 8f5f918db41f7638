#include "port/IniFile.h"

#include "port/AtomicFile.h"
#include "port/Cp932.h"
#include "port/UserFile.h"

#include <climits>
#include <limits>

namespace {

constexpr size_t npos = std::string::npos;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char FoldAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Case-insensitive for ASCII letters; the trail byte of a double-byte
// character is compared exactly, never case-folded.
bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (port::IsCp932LeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
            continue;
        }
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

} // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path))
{
    Load();
}

bool TIniFile::Load()
{
    lines_.clear();
    loadError_.clear();
    std::string text;
    switch (port::ReadUserFile(path_, static_cast<size_t>(kMaxFileSize), &text, &loadError_)) {
    case port::ReadResult::Missing:
        loadState_ = LoadState::Missing;
        return false;
    case port::ReadResult::Unreadable:
        loadState_ = LoadState::Unreadable;
        return false;
    case port::ReadResult::Read:
        break;
    }
    loadState_ = LoadState::Loaded;
    LoadFromText(text);
    return true;
}

void TIniFile::LoadFromText(std::string_view text)
{
    lines_.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        size_t next = end == npos ? text.size() : end + 1;
        std::string_view line = text.substr(start, (end == npos ? text.size() : end) - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines_.push_back(ParseLine(std::string(line)));
        start = next;
    }
}

TIniFile::Line TIniFile::ParseLine(std::string raw)
{
    std::string_view t = Trim(raw);
    if (!t.empty() && t.front() == '[') {
        size_t close = t.find(']');
        std::string_view name = t.substr(1, close == npos ? npos : close - 1);
        return {Kind::Section, std::move(raw), std::string(Trim(name)), {}};
    }
    size_t eq = t.find('=');
    if (eq != npos && eq > 0) {
        std::string name(Trim(t.substr(0, eq)));
        if (!name.empty())
            return {Kind::Key, std::move(raw), std::move(name), std::string(Trim(t.substr(eq + 1)))};
    }
    return {Kind::Other, std::move(raw), {}, {}};
}

size_t TIniFile::FindSection(std::string_view section) const
{
    std::string_view want = Trim(section);
    for (size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Section && SameName(lines_[i].name, want))
            return i;
    return npos;
}

size_t TIniFile::SectionEnd(size_t header) const
{
    size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Section)
        ++i;
    return i;
}

size_t TIniFile::FindKey(size_t header, std::string_view key) const
{
    std::string_view want = Trim(key);
    size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i)
        if (lines_[i].kind == Kind::Key && SameName(lines_[i].name, want))
            return i;
    return npos;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const
{
    size_t header = FindSection(section);
    size_t k = header == npos ? npos : FindKey(header, key);
    if (k == npos)
        return std::string(def);
    std::string_view v = lines_[k].value;
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

bool TIniFile::ParseInteger(std::string_view text, int* value)
{
    std::string_view s = Trim(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return false;
    uint64_t acc = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        acc = acc * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (acc > 0xFFFFFFFFull)
            return false;
    }
    int64_t v;
    if (base == 16) {
        // Eight hex digits form a 32-bit pattern, taken as signed.
        v = static_cast<int32_t>(static_cast<uint32_t>(acc));
    } else {
        v = static_cast<int64_t>(acc);
        if (v > static_cast<int64_t>(INT_MAX) + (negative ? 1 : 0))
            return false;
    }
    if (negative)
        v = -v;
    *value = static_cast<int>(v);
    return true;
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const
{
    int v = 0;
    return ParseInteger(ReadString(section, key, ""), &v) ? v : def;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    std::string name(Trim(key));
    std::string v(Trim(value));
    size_t header = FindSection(section);
    if (header == npos) {
        std::string sec(Trim(section));
        lines_.push_back({Kind::Section, "[" + sec + "]", sec, {}});
        lines_.push_back({Kind::Key, name + "=" + v, name, v});
        return;
    }
    size_t k = FindKey(header, key);
    if (k != npos) {
        lines_[k].raw = lines_[k].name + "=" + v;
        lines_[k].value = v;
        return;
    }
    // After the section's last key, so trailing blank lines stay between sections.
    size_t insert = header + 1;
    size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i)
        if (lines_[i].kind == Kind::Key)
            insert = i + 1;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert), Line{Kind::Key, name + "=" + v, name, v});
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::SectionExists(std::string_view section) const
{
    return FindSection(section) != npos;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const
{
    size_t header = FindSection(section);
    return header != npos && FindKey(header, key) != npos;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const
{
    std::vector<std::string> keys;
    size_t header = FindSection(section);
    if (header == npos)
        return keys;
    size_t end = SectionEnd(header);
    for (size_t i = header + 1; i < end; ++i)
        if (lines_[i].kind == Kind::Key)
            keys.push_back(lines_[i].name);
    return keys;
}

std::vector<std::string> TIniFile::ReadSections() const
{
    std::vector<std::string> names;
    for (const Line& l : lines_)
        if (l.kind == Kind::Section)
            names.push_back(l.name);
    return names;
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key)
{
    size_t header = FindSection(section);
    size_t k = header == npos ? npos : FindKey(header, key);
    if (k != npos)
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(k));
}

void TIniFile::EraseSection(std::string_view section)
{
    size_t header = FindSection(section);
    if (header == npos)
        return;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
}

std::string TIniFile::Text() const
{
    std::string out;
    for (const Line& l : lines_) {
        out += l.raw;
        out += "\r\n";
    }
    return out;
}

bool TIniFile::UpdateFile(std::string* error, bool* refused) const
{
    auto refuse = [&](const std::string& why) {
        if (error)
            *error = why;
        if (refused)
            *refused = true;
        return false;
    };
    if (refused)
        *refused = false;
    if (loadState_ == LoadState::Unreadable)
        return refuse(path_ + " could not be read (" + loadError_ + ")");
    port::UserFile target = port::ReplaceTarget(path_);
    switch (target.state) {
    case port::FileCheck::Refused:
        return refuse(target.reason);
    case port::FileCheck::Failed:
        if (error)
            *error = target.reason;
        return false;
    case port::FileCheck::Missing:
    case port::FileCheck::Usable:
        break;
    }
    return port::WriteFileAtomically(target.path, Text(), 0600, error);
}
