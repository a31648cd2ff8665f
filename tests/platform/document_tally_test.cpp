// The bounds a document reader counts against, in plain text and in RTF alike: each taken at its
// value and passed by one more, a final line break starting no line, and the stretches without a
// space and stacks of marks that the count of their squares ends.
#include "platform/document_tally.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/rich_document.h"

namespace {

rich::Bounds Only(std::int64_t rich::Bounds::*bound, std::int64_t value) {
    rich::Bounds bounds;
    bounds.*bound = value;
    return bounds;
}

rich::Bounds Stretches(std::int64_t cost, std::int64_t stretchDivisor, std::int64_t markDivisor) {
    rich::Bounds bounds;
    bounds.stretchCost = cost;
    bounds.stretchDivisor = stretchDivisor;
    bounds.markDivisor = markDivisor;
    return bounds;
}

// The same text as an RTF document: lines as \par, other characters as \uN.
std::string AsRtf(const std::u32string& text) {
    std::string rtf = "{\\rtf1 ";
    for (const char32_t c : text) {
        if (c == U'\n') {
            rtf += "\\par ";
        } else if (c < 0x80) {
            rtf += static_cast<char>(c);
        } else {
            rtf += "\\u" + std::to_string(static_cast<std::int16_t>(c)) + "?";
        }
    }
    return rtf + "}";
}

std::string AsUtf8(const std::u32string& text) {
    std::string out;
    for (const char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u32string Times(const std::u32string& piece, int n) {
    std::u32string out;
    for (int i = 0; i < n; ++i) out += piece;
    return out;
}

TEST(DocumentTallyTest, EachBoundTakesItsValueInBothReaders) {
    using B = rich::Bounds;
    const std::u32string accent = U"\u0301";
    struct Case {
        const char* what;
        rich::Bounds bounds;
        std::u32string text;
        std::string says;  // "" when the document is taken
    };
    const Case cases[] = {
        {"three lines", Only(&B::lines, 3), U"a\nb\nc", ""},
        {"a final line break starts no line", Only(&B::lines, 3), U"a\nb\nc\n", ""},
        {"an empty fourth line does", Only(&B::lines, 3), U"a\nb\nc\n\n", "more than 3 lines"},
        {"a fourth line", Only(&B::lines, 3), U"a\nb\nc\nd", "more than 3 lines"},
        {"an empty document", Only(&B::lines, 0), U"", ""},
        {"line characters", Only(&B::lineCharacters, 4), U"abcd\nefgh", ""},
        {"one more in line 2", Only(&B::lineCharacters, 4), U"abcd\nefghi", "line 2 has more than 4 characters"},
        {"characters over lines", Only(&B::characters, 8), U"abcd\nefgh\n", ""},
        {"one character more", Only(&B::characters, 8), U"abcd\nefgh\ni", "more than 8 characters"},
        // Stretches of 1..n letters cost n^2 / divisor in all: 5 letters, 25.
        {"a stretch at its cost", Stretches(25, 1, 1), U"xxxxx", ""},
        {"one letter more", Stretches(25, 1, 1), U"xxxxxx", "up to line 1"},
        {"spaces and line ends end stretches", Stretches(50, 1, 1), U"xxxxx xxxx\nxxx", ""},
        {"the cost is the whole document's", Stretches(50, 1, 1), U"xxxxx xxxx\nxxxx", "up to line 2"},
        // A stack of n marks costs n^2 / its divisor more.
        {"marks stacked at their cost", Stretches(16, 1000, 1), U"e" + Times(accent, 4), ""},
        {"one mark more", Stretches(16, 1000, 1), U"e" + Times(accent, 5), "up to line 1"},
        {"a letter ends a stack", Stretches(16, 1000, 1), U"e" + Times(U"\u0301\u0301e", 4), ""},
        {"so that stacks cost apart", Stretches(16, 1000, 1), U"e" + Times(U"\u0301\u0301\u0301e", 2), "up to line 1"},
    };
    for (const Case& c : cases) {
        for (const bool rtf : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (rtf ? " (RTF)" : " (plain text)"));
            rich::Document doc;
            std::string error;
            const bool taken = rich::LoadDocument(rtf ? AsRtf(c.text) : AsUtf8(c.text), doc, error, c.bounds);
            EXPECT_EQ(taken, c.says.empty()) << error;
            EXPECT_NE(error.find(c.says), std::string::npos) << error;
            EXPECT_EQ(doc.paragraphs.empty(), !taken);
        }
    }
}

TEST(DocumentTallyTest, FormatChangesCountWithinLines) {
    // Three runs in the first line (two changes), one run in the second.
    const std::string rtf = "{\\rtf1 a{\\b b}c\\par {\\b d}}";
    for (const std::int64_t bound : {2, 1}) {
        rich::Document doc;
        std::string error;
        const bool taken = rich::LoadDocument(rtf, doc, error, Only(&rich::Bounds::formatChanges, bound));
        EXPECT_EQ(taken, bound == 2) << error;
        EXPECT_EQ(error.find("more than 1 times") != std::string::npos, !taken) << error;
    }
}

// Reading stops at the bound: what lies beyond it is never built, whatever its size.
TEST(DocumentTallyTest, ReadingStopsAtTheBound) {
    rich::Tally tally(Only(&rich::Bounds::lines, 2));
    EXPECT_TRUE(tally.LineEnd());
    EXPECT_TRUE(tally.LineEnd());
    EXPECT_FALSE(tally.LineEnd());
    EXPECT_FALSE(tally.Character(U'x'));
    EXPECT_FALSE(tally.LineEnd());
    EXPECT_EQ(tally.Why(), "it has more than 2 lines; the editor takes at most 2 (more would keep the program from "
                           "answering for too long)");
    rich::Tally fresh(rich::Bounds{});
    EXPECT_TRUE(fresh.Text("a\xE2\x80\xA8" "b"));
    EXPECT_FALSE(fresh.Passed());
    EXPECT_EQ(fresh.Why(), "");
}

}  // namespace
