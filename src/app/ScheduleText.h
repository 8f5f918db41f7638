// The text a schedule is announced with.
#pragma once

#include <string>
#include <string_view>

// The template with every "$SCHNAME$" replaced by the schedule's name; a
// name that itself holds "$SCHNAME$" leaves the template unchanged.
// Replaced text is not searched again, so a name can never make the
// expansion run on.
std::string ExpandSchName(std::string_view tmpl, std::string_view name);
