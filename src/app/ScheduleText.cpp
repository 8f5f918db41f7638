#include "app/ScheduleText.h"

#include "app/MessageTemplate.h"

std::string ExpandSchName(std::string_view tmpl, std::string_view name)
{
    return ExpandPlaceholder(tmpl, "$SCHNAME$", name);
}
