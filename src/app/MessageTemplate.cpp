#include "app/MessageTemplate.h"

std::string ExpandPlaceholder(std::string_view text, std::string_view placeholder, std::string_view value)
{
    if (value.find(placeholder) != std::string_view::npos)
        return std::string(text);
    std::string out;
    size_t from = 0;
    for (size_t at; (at = text.find(placeholder, from)) != std::string_view::npos; from = at + placeholder.size()) {
        out.append(text.substr(from, at - from));
        out.append(value);
    }
    out.append(text.substr(from));
    return out;
}

std::string ExpandTemplate(std::string_view tmpl, std::string_view host, std::string_view subject, int64_t number,
                           int64_t size)
{
    std::string text = ExpandPlaceholder(tmpl, "$HOST$", host);
    text = ExpandPlaceholder(text, "$SUBJECT$", subject);
    text = ExpandPlaceholder(text, "$NUMBER$", std::to_string(number));
    return ExpandPlaceholder(text, "$SIZE$", std::to_string(size));
}
