// The token history's own operations: what each write leaves (count, entries, the last word an
// error highlights) and when compiled code may take entries as known without writing them.
#include <gtest/gtest.h>

#include <string>

#include "interpreter/token_history.h"

namespace {

std::string Entries(const TokenHistory& h, int from, int to) {
    std::string out = "count " + std::to_string(h.Count()) + ":";
    for (int k = from; k < to; ++k) out += " " + std::to_string(h.Start(k)) + "+" + std::to_string(h.Length(k));
    return out;
}

TEST(TokenHistory, WritesLeaveWhatTheReadingLeaves) {
    struct Case {
        const char* name;
        void (*write)(TokenHistory&);
        int from, to;
        const char* expected;
    };
    const Case cases[] = {
        {"words recorded in order", [](TokenHistory& h) { h.Record(0, 2); h.Record(3, 1); h.Record(5, 4); }, 0, 3,
         "count 3: 0+2 3+1 5+4"},
        {"a word put back returns to its start",
         [](TokenHistory& h) { h.Record(0, 2); h.Record(3, 1); EXPECT_EQ(h.StepBack(), 3); }, 0, 2, "count 1: 0+2 3+1"},
        {"putting back an empty history stays empty", [](TokenHistory& h) { EXPECT_EQ(h.StepBack(), 0); }, 0, 1,
         "count 0: 0+0"},
        {"a full history overwrites its last entry",
         [](TokenHistory& h) { h.MoveTo(TokenHistory::kLast); h.Record(7, 1); h.Record(9, 2); }, TokenHistory::kLast - 2,
         TokenHistory::kLast, "count 99999: 0+0 9+2"},
        {"a built-in literal joins its words and marks the next entry",
         [](TokenHistory& h) { h.Record(4, 5); h.Record(9, 1); h.Record(10, 3); h.JoinLiteral(0, 10); }, 0, 2,
         "count 1: 4+10 -1+1"},
        {"compiled words written after the count", [](TokenHistory& h) {
             const int starts[] = {1, 3, 6, 10, 15};
             const int lengths[] = {1, 2, 3, 4, 5};
             h.Record(0, 1);
             h.Write(starts, lengths, 5);
             h.WriteOne(21, 6);
         }, 0, 7, "count 7: 0+1 1+1 3+2 6+3 10+4 15+5 21+6"},
    };
    for (const Case& c : cases) {
        TokenHistory h;
        h.Allocate();
        c.write(h);
        EXPECT_EQ(Entries(h, c.from, c.to), c.expected) << c.name;
    }
}

TEST(TokenHistory, TheLastWordIsTheLastEntryCounted) {
    TokenHistory h;
    h.Allocate();
    EXPECT_EQ(h.LastStart(), 0);
    EXPECT_EQ(h.LastLength(), 0);
    h.Record(12, 3);
    h.Record(20, 5);
    EXPECT_EQ(h.LastStart(), 20);
    EXPECT_EQ(h.LastLength(), 5);
    h.MoveTo(TokenHistory::kLast);
    h.Record(30, 2);
    EXPECT_EQ(h.LastStart(), 30);
    EXPECT_TRUE(h.HasRoom(0) == false);
    h.Clear();
    EXPECT_EQ(Entries(h, 0, 2), "count 0: 0+0 0+0");
}

// A pass that ran undisturbed vouches for the entries it wrote: the next pass takes them by
// moving the count. A disturbed pass vouches for nothing.
TEST(TokenHistory, KnownEntriesComeFromUndisturbedPasses) {
    const int starts[] = {1, 3};
    const int lengths[] = {1, 2};
    for (bool disturbed : {false, true}) {
        TokenHistory h;
        h.Allocate();
        const auto before = h.Disturbances();
        h.Write(starts, lengths, 2);
        if (disturbed) h.Disturb();
        h.Passed(before);
        EXPECT_EQ(h.Known(), disturbed ? 0 : 2) << disturbed;
        h.MoveTo(0);
        h.Write(starts, lengths, 2);
        EXPECT_EQ(Entries(h, 0, 2), "count 2: 1+1 3+2") << disturbed;
        h.Passed(h.Disturbances());
        EXPECT_EQ(h.Known(), 2) << disturbed;
    }
}

}  // namespace
