#include "mail/CleanSubject.h"

#include "mail/Pdmime.h"
#include "mail/ServerText.h"

std::string CleanSubject(std::string_view subject)
{
    if (!subject.empty() && subject.front() == ' ')
        subject.remove_prefix(1);
    return pendar::ReplaceControlBytes(DecodeMimeHeader(subject));
}
