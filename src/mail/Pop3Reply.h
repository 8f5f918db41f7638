// Taking POP3 server replies apart. The server is untrusted: every function
// here is bounded by its input and raises only the documented exceptions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pendar {

// Word n (1-based) of a reply split at every blank: two blanks in a row
// make an empty word, the last word keeps the line end. "" past the end.
std::string_view ReplyWord(std::string_view reply, int n);
// The first word contains "+OK".
bool ReplyIsOk(std::string_view reply);
// The line without its line end (CR LF or LF).
std::string_view StripLineEnd(std::string_view line);
// The line that ends a multi-line response: "." once its line end is gone.
bool IsTerminator(std::string_view line);
// For a header line beginning with "Subject:", the rest of it without the
// line end (the blank after the colon kept).
std::optional<std::string> SubjectOfLine(std::string_view line);

// The APOP timestamp of a greeting: from its first "<" through its last ">",
// when the greeting begins with "+" and the timestamp is printable ASCII.
std::optional<std::string> ApopTimestamp(std::string_view greeting);
// The message count of a STAT reply in the APOP log-in; raises ESocketError
// "STAT Command Error" for a reply of the wrong shape, EConvertError when
// the count is not a number.
int ApopStatCount(std::string_view reply);

// A decimal integer (optional sign), or `fallback` when `text` is not one
// or does not fit.
int StrToIntDef(std::string_view text, int fallback);
// A decimal integer of 32 bits; EConvertError otherwise.
int StrToInt(std::string_view text);
// A message size: a non-negative decimal integer of 64 bits, after blanks
// and control bytes on either side are trimmed; EConvertError otherwise.
int64_t ParseMessageSize(std::string_view text);

} // namespace pendar
