#include "dialogs/LogModel.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using pendar::TLogLine;
using pendar::TLogModel;
using pendar::test::FakeClock;

std::vector<std::string> Texts(const TLogModel& log)
{
    std::vector<std::string> texts;
    for (const TLogLine& line : log.Lines())
        texts.push_back(line.text);
    return texts;
}

struct LogFixture {
    FakeClock clock;
    TLogModel log{clock};
    LogFixture() { clock.Set(2024, 6, 14, 9, 5); }
};

TEST(LogModel, StartsWithTheHeaderLine)
{
    LogFixture f;
    ASSERT_EQ(1u, f.log.Lines().size());
    EXPECT_EQ("** SorelPendar Log **", f.log.Lines()[0].text);
    EXPECT_EQ(0, f.log.Lines()[0].stampLength);
}

TEST(LogModel, StampsEveryNonEmptyPieceOfAnEntry)
{
    struct Case {
        const char* text;
        std::vector<std::string> added;
    } cases[] = {
        {"first\nsecond", {" 9:05 first", " 9:05 second"}},
        {"", {}},
        {"a\n\nc", {" 9:05 a", " 9:05 c"}},
        {"\n", {}},
        {"1\n2\n3\n4\n5\n6\n7\n8\n9\n10", {" 9:05 1", " 9:05 2", " 9:05 3", " 9:05 4", " 9:05 5", " 9:05 6",
                                          " 9:05 7", " 9:05 8"}},
        {"\n\n\n\n\n\n\n\nninth", {}}, // the ninth piece is beyond the eight kept
    };
    for (const Case& c : cases) {
        LogFixture f;
        f.log.AddLog(c.text, 0);
        std::vector<std::string> texts = Texts(f.log);
        texts.erase(texts.begin());
        EXPECT_EQ(c.added, texts) << c.text;
    }
}

TEST(LogModel, TheTimeIsBlueAndTheTextInItsColour)
{
    LogFixture f;
    f.clock.Set(2024, 6, 14, 23, 59);
    f.log.AddLog("OtherError refused", 255);
    f.log.AddLog("Schdule x", 0);
    const TLogLine& error = f.log.Lines()[1];
    EXPECT_EQ("23:59 OtherError refused", error.text);
    EXPECT_EQ(5, error.stampLength);
    EXPECT_EQ(pendar::clBlue, TLogModel::kStampColour);
    EXPECT_EQ(pendar::clRed, error.colour);
    EXPECT_EQ(pendar::clBlack, f.log.Lines()[2].colour);
}

TEST(LogModel, KeepsTheNewest1024LinesAndDropsTheOldestFirst)
{
    LogFixture f;
    for (int i = 0; i < 1100; ++i)
        f.log.AddLog("entry " + std::to_string(i), 0);
    ASSERT_EQ(1024u, f.log.Lines().size());
    // 1101 lines were added: the header and entries 0..75 are gone.
    EXPECT_EQ(" 9:05 entry 76", f.log.Lines().front().text);
    EXPECT_EQ(" 9:05 entry 1099", f.log.Lines().back().text);
}

TEST(LogModel, TellsItsViewAndMirrorsEveryEntry)
{
    struct View final : pendar::ILogLineView {
        void LineAdded(const TLogLine& line) override { lines.push_back(line.text); }
        std::vector<std::string> lines;
    } view;
    struct Mirror final : ILogSink {
        void AddLog(std::string_view text, int colour) override { entries.push_back(std::string(text) + "/" + std::to_string(colour)); }
        std::vector<std::string> entries;
    } mirror;
    LogFixture f;
    f.log.SetView(&view);
    f.log.SetMirror(&mirror);
    f.log.AddLog("a\nb", 255);
    f.log.AddLog("", 0);
    EXPECT_EQ((std::vector<std::string>{" 9:05 a", " 9:05 b"}), view.lines);
    EXPECT_EQ((std::vector<std::string>{"a\nb/255", "/0"}), mirror.entries);
    f.log.SetView(nullptr);
    f.log.AddLog("c", 0);
    EXPECT_EQ(2u, view.lines.size());
}

} // namespace
