#include "platform/ZoHushTable.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(ZoHushTable, ClearingASlotKeepsTheEntriesStoredAfterIt)
{
    TZoHushTable table(4);
    EXPECT_EQ(0, table.AddData("a", 10));
    EXPECT_EQ(1, table.AddData("b", 20));
    table.ClrData(0);
    EXPECT_EQ(-1, table.Search("a"));
    EXPECT_EQ(1, table.Search("b"));
    EXPECT_STREQ("b", table.GetString(1));
    EXPECT_EQ(20u, table.GetParam(1));
    EXPECT_EQ(0, table.AddData("c")); // the lowest free slot again
}

TEST(ZoHushTable, StringsWithTheSameByteSumShareABucket)
{
    // 'A'+'b' = 'a'+'B' = 'b'+'A' = 'B'+'a' = 163; only the case differs.
    const char* same[] = {"Ab", "aB", "bA", "Ba"};
    TZoHushTable table(8);
    for (const char* s : same) {
        EXPECT_EQ(163, TZoHushTable::CalcHush(s));
        table.AddData(s);
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(i, table.Search(same[i])) << same[i];
    EXPECT_EQ(-1, table.Search("ab"));

    table.ClrData(1); // from the middle of the chain
    table.ClrData(0); // the head
    EXPECT_EQ(-1, table.Search("aB"));
    EXPECT_EQ(2, table.Search("bA"));
    EXPECT_EQ(3, table.Search("Ba"));
    EXPECT_EQ(0, table.AddData("aB"));
    EXPECT_EQ(0, table.Search("aB"));
}

TEST(ZoHushTable, RefusesWhatItCannotHold)
{
    TZoHushTable table(2);
    ASSERT_TRUE(table.SetData(0, "kept", 7));
    std::string longest(TZoHushTable::kMaxStringLength, 'x');
    std::string tooLong(TZoHushTable::kMaxStringLength + 1, 'x');

    EXPECT_FALSE(table.SetData(0, tooLong.c_str()));
    EXPECT_STREQ("kept", table.GetString(0)); // the slot keeps what it held
    EXPECT_EQ(-1, table.AddData(tooLong.c_str()));
    EXPECT_FALSE(table.SetData(0, nullptr));
    EXPECT_FALSE(table.SetData(-1, "x"));
    EXPECT_FALSE(table.SetData(2, "x"));

    EXPECT_EQ(1, table.AddData(longest.c_str(), 9));
    EXPECT_EQ(longest, table.GetString(1));
    EXPECT_EQ(1, table.Search(longest.c_str()));
    EXPECT_EQ(-1, table.AddData("full"));

    EXPECT_EQ(-1, table.Search(nullptr));
    EXPECT_EQ(nullptr, table.GetString(2));
    EXPECT_EQ(0u, table.GetParam(-1));
}

TEST(ZoHushTable, GrowsButNeverShrinks)
{
    TZoHushTable empty;
    EXPECT_EQ(0, empty.GetSize());
    EXPECT_EQ(-1, empty.AddData("x"));

    TZoHushTable table(2);
    table.SetData(1, "one", 1);
    table.Alloc(1);
    EXPECT_EQ(2, table.GetSize());
    table.Alloc(100000);
    EXPECT_EQ(TZoHushTable::kMaxSlots, table.GetSize());
    EXPECT_EQ(1, table.Search("one"));
    EXPECT_FALSE(table.IsValid(TZoHushTable::kMaxSlots - 1));
    EXPECT_TRUE(table.SetData(TZoHushTable::kMaxSlots - 1, "last"));
    EXPECT_EQ(TZoHushTable::kMaxSlots - 1, table.Search("last"));

    table.AllClear();
    EXPECT_EQ(TZoHushTable::kMaxSlots, table.GetSize());
    EXPECT_EQ(-1, table.Search("one"));
    EXPECT_EQ(0, table.AddData("one"));
}

// Random operations on a small table, compared after each with a plain
// model: slot -> (string, parameter, order stored). Few distinct strings,
// so buckets fill and the same string sits in several slots; now and then a
// long one, so that entries move across the heap when others are cleared.
TEST(ZoHushTable, BehavesLikeASimpleModelUnderRandomOperations)
{
    struct Held {
        std::string text;
        uint32_t param;
        int order;
    };
    const int size = 24;
    TZoHushTable table(size);
    std::vector<std::optional<Held>> model(size);
    std::mt19937 rng(12345);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto someString = [&] {
        if (pick(20) == 0)
            return std::string(300 + pick(50), static_cast<char>('a' + pick(3)));
        std::string s;
        for (int i = pick(4); i > 0; --i)
            s += "abAB"[pick(4)];
        return s;
    };
    int order = 0;

    for (int op = 0; op < 3000; ++op) {
        int index = pick(size + 2) - 1; // one outside the table at each end
        bool inside = index >= 0 && index < size;
        std::string s = someString();
        auto param = static_cast<uint32_t>(rng());
        switch (pick(10)) {
        case 0: case 1: case 2:
            ASSERT_EQ(inside, table.SetData(index, s.c_str(), param));
            if (inside)
                model[index] = Held{s, param, order++};
            break;
        case 3: case 4: {
            int expected = -1;
            for (int i = 0; i < size && expected < 0; ++i)
                expected = model[i] ? -1 : i;
            ASSERT_EQ(expected, table.AddData(s.c_str(), param));
            if (expected >= 0)
                model[expected] = Held{s, param, order++};
            break;
        }
        case 5: case 6: case 7:
            table.ClrData(index);
            if (inside)
                model[index].reset();
            break;
        case 8:
            ASSERT_EQ(inside && model[index].has_value(), table.SetParam(index, param));
            if (inside && model[index])
                model[index]->param = param;
            break;
        default:
            if (pick(30) == 0) {
                table.AllClear();
                model.assign(size, std::nullopt);
            }
        }

        std::map<std::string, int> first; // string -> slot stored first
        for (int i = 0; i < size; ++i) {
            ASSERT_EQ(model[i].has_value(), table.IsValid(i)) << "op " << op << " slot " << i;
            if (!model[i])
                continue;
            ASSERT_EQ(model[i]->text, table.GetString(i)) << "op " << op << " slot " << i;
            ASSERT_EQ(model[i]->param, table.GetParam(i)) << "op " << op << " slot " << i;
            auto [at, added] = first.emplace(model[i]->text, i);
            if (!added && model[i]->order < model[at->second]->order)
                at->second = i;
        }
        for (const auto& [text, slot] : first)
            ASSERT_EQ(slot, table.Search(text.c_str())) << "op " << op << " " << text;
        ASSERT_EQ(first.count(s) ? first[s] : -1, table.Search(s.c_str())) << "op " << op;
    }
}

} // namespace
