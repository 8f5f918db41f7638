// Decoding of mail header values with encoded words ("=?charset?B|Q?text?=")
// into Shift_JIS. Nothing raises: a malformed encoded word is copied through
// from its "=?" to the end, an unknown character set leaves the bytes as
// decoded.
#pragma once

#include <string>
#include <string_view>

std::string DecodeMimeHeader(std::string_view text);
// Base64: characters outside the alphabet count as 0; a "=" or the end of
// the text ends decoding. Returns only the bytes decoded.
std::string DecodeBase64(std::string_view text);
// Quoted: "=XY" is one byte; a "=" with fewer than two characters after it
// ends decoding; "_" stays "_".
std::string DecodeQuoted(std::string_view text);
