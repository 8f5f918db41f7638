#include "app/MailTlsSettings.h"

#include "port/IniFile.h"

#include <optional>
#include <string_view>

namespace pendar {

namespace {

// The stored names of the choices.
constexpr struct {
    TMailTls mode;
    const char* name;
} kModeNames[] = {{TMailTls::None, "none"}, {TMailTls::StartTls, "starttls"}, {TMailTls::Implicit, "implicit"}};

bool SameAscii(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
        if (x != y)
            return false;
    }
    return true;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::optional<TMailTls> ModeNamed(std::string_view name)
{
    for (const auto& m : kModeNames)
        if (SameAscii(Trimmed(name), m.name))
            return m.mode;
    return std::nullopt;
}

const char* NameOf(TMailTls mode)
{
    for (const auto& m : kModeNames)
        if (m.mode == mode)
            return m.name;
    return kModeNames[0].name;
}

// Bytes that could end or confuse an INI key ("=", "[", ";", blanks, bytes
// of code page 932) become %XX.
std::string Escaped(std::string_view text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                     c == '_' || c == '-';
        if (plain) {
            out += ch;
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 0x0F];
        }
    }
    return out;
}

// What a profile gets without an entry.
TMailTls Unlisted(const TMailProfile& p)
{
    return p.port == kPop3sPort ? TMailTls::Implicit : TMailTls::None;
}

} // namespace

std::string MailTlsKey(const std::string& user, const std::string& host)
{
    return Escaped(user) + "@" + Escaped(host);
}

void ReadMailTls(const TIniFile& ini, std::array<TMailProfile, kMailProfileCount>& profiles)
{
    for (TMailProfile& p : profiles) {
        p.tls = Unlisted(p);
        p.caFile.clear();
        std::string key = MailTlsKey(p.user, p.host);
        if (p.host.empty() || !ini.ValueExists(kMailTlsSection, key))
            continue;
        std::string value = ini.ReadString(kMailTlsSection, key, "");
        size_t comma = value.find(',');
        if (comma != std::string::npos)
            p.caFile = std::string(Trimmed(std::string_view(value).substr(comma + 1)));
        // An entry says the account wants TLS unless it plainly says none.
        p.tls = ModeNamed(std::string_view(value).substr(0, comma))
                    .value_or(p.port == kPop3sPort ? TMailTls::Implicit : TMailTls::StartTls);
    }
}

void WriteMailTls(TIniFile& ini, const std::array<TMailProfile, kMailProfileCount>& profiles)
{
    ini.EraseSection(kMailTlsSection);
    for (const TMailProfile& p : profiles) {
        if (p.host.empty() || (p.tls == TMailTls::None && p.port != kPop3sPort))
            continue; // the default says it
        std::string key = MailTlsKey(p.user, p.host);
        if (ini.ValueExists(kMailTlsSection, key)) {
            // Another profile of the account came first: it keeps the entry
            // unless it said none and this one wants TLS.
            std::string written = ini.ReadString(kMailTlsSection, key, "");
            if (p.tls == TMailTls::None || ModeNamed(written.substr(0, written.find(','))) != TMailTls::None)
                continue;
        }
        std::string value = NameOf(p.tls);
        if (!p.caFile.empty())
            value += "," + p.caFile;
        ini.WriteString(kMailTlsSection, key, value);
    }
}

} // namespace pendar
