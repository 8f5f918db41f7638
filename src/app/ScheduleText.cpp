#include "app/ScheduleText.h"

namespace {
constexpr std::string_view kPlaceholder = "$SCHNAME$";
}

std::string ExpandSchName(std::string_view tmpl, std::string_view name)
{
    if (name.find(kPlaceholder) != std::string_view::npos)
        return std::string(tmpl);
    std::string out;
    size_t from = 0;
    for (size_t at; (at = tmpl.find(kPlaceholder, from)) != std::string_view::npos; from = at + kPlaceholder.size()) {
        out.append(tmpl.substr(from, at - from));
        out.append(name);
    }
    out.append(tmpl.substr(from));
    return out;
}
