#include "mail/Pop3Reply.h"

#include "mail/MailErrors.h"
#include "mail/ServerText.h"

#include <charconv>

namespace pendar {

namespace {

// The longest server text quoted in an error message.
constexpr size_t kMaxQuoted = 200;

template <typename T>
std::optional<T> ParseDecimal(std::string_view text)
{
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || text.front() < '0' || text.front() > '9')
            return std::nullopt;
    }
    T value{};
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

[[noreturn]] void RaiseNotInteger(std::string_view text)
{
    throw EConvertError("'" + ReplaceControlBytes(text.substr(0, kMaxQuoted)) + "' is not a valid integer value");
}

} // namespace

std::string_view ReplyWord(std::string_view reply, int n)
{
    for (int i = 1; i < n; ++i) {
        size_t blank = reply.find(' ');
        if (blank == std::string_view::npos)
            return {};
        reply.remove_prefix(blank + 1);
    }
    return reply.substr(0, reply.find(' '));
}

bool ReplyIsOk(std::string_view reply)
{
    return ReplyWord(reply, 1).find("+OK") != std::string_view::npos;
}

std::string_view StripLineEnd(std::string_view line)
{
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

bool IsTerminator(std::string_view line)
{
    return StripLineEnd(line) == ".";
}

std::optional<std::string> SubjectOfLine(std::string_view line)
{
    constexpr std::string_view kName = "Subject:";
    if (line.substr(0, kName.size()) != kName)
        return std::nullopt;
    return std::string(StripLineEnd(line.substr(kName.size())));
}

std::optional<std::string> ApopTimestamp(std::string_view greeting)
{
    if (greeting.empty() || greeting.front() != '+')
        return std::nullopt;
    size_t open = greeting.find('<');
    size_t close = greeting.rfind('>');
    if (open == std::string_view::npos || close == std::string_view::npos || open >= close)
        return std::nullopt;
    std::string_view stamp = greeting.substr(open, close - open + 1);
    // Only printable ASCII: a server must not choose arbitrary bytes to be
    // digested together with the password.
    for (char c : stamp)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
            return std::nullopt;
    return std::string(stamp);
}

int ApopStatCount(std::string_view reply)
{
    if (reply.size() >= 7 && reply.substr(0, 3) == "+OK") {
        std::string_view rest = reply.substr(4);
        size_t blank = rest.find(' ');
        if (blank != std::string_view::npos && blank >= 1)
            return StrToInt(rest.substr(0, blank));
    }
    throw ESocketError("STAT Command Error");
}

int StrToIntDef(std::string_view text, int fallback)
{
    return ParseDecimal<int>(text).value_or(fallback);
}

int StrToInt(std::string_view text)
{
    auto value = ParseDecimal<int>(text);
    if (!value)
        RaiseNotInteger(text);
    return *value;
}

int64_t ParseMessageSize(std::string_view text)
{
    auto trimmed = text;
    while (!trimmed.empty() && static_cast<unsigned char>(trimmed.front()) <= 0x20)
        trimmed.remove_prefix(1);
    while (!trimmed.empty() && static_cast<unsigned char>(trimmed.back()) <= 0x20)
        trimmed.remove_suffix(1);
    auto value = ParseDecimal<int64_t>(trimmed);
    if (!value || *value < 0)
        RaiseNotInteger(trimmed);
    return *value;
}

} // namespace pendar
