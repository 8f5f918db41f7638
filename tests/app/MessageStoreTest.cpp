// The balloon's message store: how a segment is cut into lines and pages,
// how a new message interrupts the one on display and how the interrupted
// one comes back, emphasis, the transient greeting, and the limits.
#include "app/MessageStore.h"
#include "base/Sjis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Page = std::array<std::string, 4>;

struct RecordingBalloon final : pendar::IBalloon {
    void ShowLines(const Page& lines, bool emphasis) override
    {
        pages.push_back(lines);
        emphasised.push_back(emphasis);
        visible = true;
    }
    void HideLines() override { visible = false; }
    void MessageCommitted() override { ++committed; }
    bool EmphasisWanted() const override { return emphasisOn; }

    std::vector<Page> pages;
    std::vector<bool> emphasised;
    bool visible = false;
    int committed = 0;
    bool emphasisOn = false;
};

struct Store {
    RecordingBalloon balloon;
    pendar::TMessageStore store{&balloon};

    void Say(const std::vector<std::string>& segments, bool transient = false)
    {
        store.FlushMessage();
        store.AddMessages(segments);
        store.CommitMessage(transient);
    }
    // Clicks until the balloon hides; every page shown, its first line each.
    std::vector<std::string> ReadAll()
    {
        std::vector<std::string> firsts{balloon.pages.back()[0]};
        for (int i = 0; i < 100 && balloon.visible; ++i) {
            size_t before = balloon.pages.size();
            store.ShowNextPage();
            if (balloon.pages.size() > before)
                firsts.push_back(balloon.pages.back()[0]);
        }
        EXPECT_FALSE(balloon.visible);
        return firsts;
    }
};

std::string Repeat(char c, size_t n)
{
    return std::string(n, c);
}

TEST(BalloonLines, CutsAtTwentyBytesNeverInsideACharacter)
{
    const std::string kanji = Sjis("日"); // two bytes
    const std::string looksLikeLead = Sjis("亜"); // 0x88 0x9F: its trail byte has a lead byte's value
    struct Case {
        const char* what;
        std::string segment;
        std::vector<Page> pages;
    } cases[] = {
        {"45 half-width characters", Repeat('a', 45), {{Repeat('a', 20), Repeat('a', 20), Repeat('a', 5), ""}}},
        {"a kanji starting at byte 20", Repeat('a', 19) + kanji + "b", {{Repeat('a', 19), kanji + "b", "", ""}}},
        {"a trail byte at byte 20", Repeat('a', 18) + looksLikeLead + "b", {{Repeat('a', 18) + looksLikeLead, "b", "", ""}}},
        {"a line feed at byte 21", Repeat('a', 20) + "\nb", {{Repeat('a', 20), "b", "", ""}}},
        {"21 bytes before the line feed", Repeat('a', 21) + "\nb", {{Repeat('a', 20), "a", "b", ""}}},
        {"six lines", "1\n2\n3\n4\n5\n6", {{"1", "2", "3", "4"}, {"5", "6", "", ""}}},
        {"blank lines kept", "x\n\ny", {{"x", "", "y", ""}}},
    };
    for (const Case& c : cases) {
        Store s;
        s.Say({c.segment});
        for (int i = 1; i < static_cast<int>(c.pages.size()); ++i)
            s.store.ShowNextPage();
        EXPECT_EQ(c.pages, s.balloon.pages) << c.what;
        s.store.ShowNextPage();
        EXPECT_FALSE(s.balloon.visible) << c.what << ": the balloon stays after the last page";
    }
}

TEST(MessageStore, SegmentsThenInterruptedMessagesThenHidden)
{
    Store s;
    s.Say({"a1", "a2"});
    s.Say({"b1"}); // interrupts a1
    EXPECT_EQ(2, s.balloon.committed);
    // b1, then a1 again (it was interrupted), a2, hidden.
    EXPECT_EQ((std::vector<std::string>{"b1", "a1", "a2"}), s.ReadAll());
    EXPECT_EQ(-1, s.store.Current());

    // Once everything is read, history starts again at the first slot.
    s.Say({"c"});
    EXPECT_EQ(0, s.store.Current());
    EXPECT_EQ(0, s.store.Oldest());
}

TEST(MessageStore, GreetingIsReplacedByTheNextMessage)
{
    Store s;
    s.Say({"hello"}, true);
    s.Say({"schedule"});
    EXPECT_EQ(0, s.store.Current()) << "the announcement takes the greeting's slot";
    EXPECT_EQ((std::vector<std::string>{"schedule"}), s.ReadAll());
}

TEST(MessageStore, SkipDropsOnlyATransientMessage)
{
    Store s;
    s.Say({"result"});
    s.store.SkipMessage();
    EXPECT_TRUE(s.balloon.visible) << "a message to keep is not skipped";
    EXPECT_EQ(1u, s.balloon.pages.size());

    s.Say({"connecting", "still"}, true);
    s.store.SkipMessage();
    ASSERT_TRUE(s.balloon.visible);
    EXPECT_EQ("result", s.balloon.pages.back()[0]) << "the interrupted message returns";
    s.store.ShowNextPage();
    EXPECT_FALSE(s.balloon.visible);
}

TEST(MessageStore, EmphasisUntilTheLastPageOfANewMessage)
{
    Store s;
    s.balloon.emphasisOn = true;
    s.Say({"old"});
    s.Say({"1\n2\n3\n4\n5", "next"});
    s.ReadAll();
    // new message: three pages emphasised; "old" shown again plain.
    EXPECT_EQ((std::vector<bool>{true, true, true, true, false}), s.balloon.emphasised);

    Store greeting;
    greeting.balloon.emphasisOn = true;
    greeting.Say({"hi"}, true);
    EXPECT_FALSE(greeting.balloon.emphasised.back()) << "a transient message is never emphasised";

    Store off;
    off.Say({"x"});
    EXPECT_FALSE(off.balloon.emphasised.back()) << "emphasis switched off";
}

TEST(MessageStore, LimitsDropTheOldestMessageAndExtraSegments)
{
    Store s;
    for (int i = 1; i <= 17; ++i)
        s.Say({"m" + std::to_string(i)});
    std::vector<std::string> expected;
    for (int i = 17; i >= 2; --i)
        expected.push_back("m" + std::to_string(i));
    EXPECT_EQ(expected, s.ReadAll()) << "the 17th message drops the first, and the ring steps back across 0";

    Store many;
    many.store.FlushMessage();
    for (int i = 0; i < 33; ++i)
        many.store.AddMessage("s" + std::to_string(i));
    EXPECT_EQ(32u, many.store.PendingCount());
    many.store.CommitMessage(false);
    std::vector<std::string> shown = many.ReadAll();
    ASSERT_EQ(32u, shown.size());
    EXPECT_EQ("s31", shown.back());
}

TEST(MessageStore, CommitOnlyWhileComposing)
{
    Store s;
    s.store.CommitMessage(false);
    EXPECT_EQ(0, s.balloon.committed);
    EXPECT_EQ(-1, s.store.Current());

    // Flush commits what was composed, as a message to keep.
    s.store.AddMessage("pending");
    s.store.FlushMessage();
    EXPECT_EQ(1, s.balloon.committed);
    EXPECT_FALSE(s.store.Transient());
    EXPECT_FALSE(s.store.Composing());

    // Nothing shown when every segment is empty.
    Store empty;
    empty.Say({"", ""});
    EXPECT_TRUE(empty.balloon.pages.empty());
    EXPECT_FALSE(empty.balloon.visible);
}

} // namespace
