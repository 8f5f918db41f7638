#include "app/MessageTemplate.h"

#include <gtest/gtest.h>

namespace {

TEST(ExpandTemplate, FillsHostSubjectNumberAndSize)
{
    struct Case {
        const char* tmpl;
        const char* host;
        const char* subject;
        int64_t number, size;
        const char* expected;
    } cases[] = {
        {"$HOST$: $SUBJECT$ ($NUMBER$, $SIZE$ bytes) $HOST$", "home", "Hi", 1, 2048, "home: Hi (1, 2048 bytes) home"},
        {"<$HOST$>", "A$HOST$", "", 0, 0, "<$HOST$>"},             // the host holds its placeholder
        {"<$SUBJECT$>", "", "x$SUBJECT$", 0, 0, "<$SUBJECT$>"},    // so does the subject
        {"<$SUBJECT$>", "", "$NUMBER$", 7, 0, "<7>"},              // later placeholders still apply
        {"$HO$HOST$ST$", "$HO", "", 0, 0, "$HO$HOST$"},            // inserted text is not searched again
        {"$NUMBER$/$SIZE$", "", "", 9000000000, -1, "9000000000/-1"},
        {"no placeholders", "h", "s", 1, 1, "no placeholders"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandTemplate(c.tmpl, c.host, c.subject, c.number, c.size), c.expected) << c.tmpl;
}

} // namespace
