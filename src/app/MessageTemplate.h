// Message templates: placeholders in a skin's texts replaced by what the
// message is about.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Every `placeholder` in `text` replaced by `value`, left to right, unless
// the value itself holds the placeholder (then the text stays as it is).
// Replaced text is not searched again, so a value can never make the
// expansion run on.
std::string ExpandPlaceholder(std::string_view text, std::string_view placeholder, std::string_view value);

// $HOST$, then $SUBJECT$, then $NUMBER$ and $SIZE$ in decimal.
std::string ExpandTemplate(std::string_view tmpl, std::string_view host, std::string_view subject, int64_t number,
                           int64_t size);
