#include "host/output_pane_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "output_bound_cases.h"

namespace {

std::size_t LineBreaks(const std::string& text) {
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && i > 0 && text[i - 1] == '\r') continue;
        if (text[i] == '\r' || text[i] == '\n') ++breaks;
    }
    return breaks;
}

// A final line break starts no line.
std::size_t Lines(const std::string& text) {
    const bool unfinished = !text.empty() && text.back() != '\r' && text.back() != '\n';
    return LineBreaks(text) + (unfinished ? 1 : 0);
}

std::size_t Characters(const std::string& text) {
    std::size_t crlf = 0;
    for (std::size_t i = 1; i < text.size(); ++i) crlf += text[i - 1] == '\r' && text[i] == '\n';
    return text.size() - crlf;
}

// Whatever is written, the pane keeps the newest text within its bound, and no more leaves than
// the bound that binds asks: exactly the lines over the line bound, and beyond the character bound
// the line in which the cut falls and a sixteenth.
TEST(OutputPaneText, KeepsTheNewestTextWithinItsBound) {
    struct Case {
        std::size_t maxLines, maxCharacters;
        std::string line;  // written count times, perCall lines a call
        int count, perCall;
    };
    const Case cases[] = {
        {100, 1 << 20, "12345\r\n", 1000, 7},           // the line bound
        {100, 1 << 20, "12345\r\n", 99, 7},             // just within it: everything stays
        {100, 1 << 20, "12345\r\n", 100, 7},            // exactly at it: everything stays
        {100, 1 << 20, "12345\r\n", 101, 1},            // one line more: the oldest goes
        {1 << 20, 2000, "0123456789abcdef\r\n", 500, 3},  // the character bound with whole lines
        {1 << 20, 2000, "0123456789abcdef\r\n", 117, 1},  // exactly at the character bound
        {1 << 20, 2000, std::string(4500, 'x') + "\r\n", 3, 1},  // lines longer than the bound
        {1 << 20, 2000, std::string(300, 'y'), 40, 1},  // one line that never ends
        {10, 1 << 20, "a\rb\n", 50, 3},                 // lone CR and LF are line breaks too
        {1, 1 << 20, "ab\r\n", 5, 1},                   // a bound of one line keeps the last one
        {1 << 20, 2000, "a\r", 1000, 1},               // exactly the character bound in lone CRs
        {1 << 20, 2000, "a\r", 1001, 1},               // and one more
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.maxLines << " lines, " << c.maxCharacters << " characters, "
                                        << c.count << " x " << c.line.size());
        OutputPaneText pane;
        pane.SetBounds(c.maxLines, c.maxCharacters);
        std::string written;
        std::string call;
        for (int i = 0; i < c.count; ++i) {
            call += c.line;
            if ((i + 1) % c.perCall == 0 || i + 1 == c.count) {
                pane.Append(call);
                written += call;
                call.clear();
            }
        }
        const std::string kept = pane.Text();
        ASSERT_LE(kept.size(), written.size());
        EXPECT_EQ(written.substr(written.size() - kept.size()), kept);
        EXPECT_LE(Lines(kept), c.maxLines);
        EXPECT_EQ(pane.Lines(), Lines(kept));
        EXPECT_LE(Characters(kept), c.maxCharacters);
        if (Lines(written) <= c.maxLines && Characters(written) <= c.maxCharacters) {
            EXPECT_EQ(kept, written);
        }
        const bool lineBoundHolds = Lines(kept) == std::min(Lines(written), c.maxLines);
        const bool characterBoundHolds =
            Characters(kept) + c.maxCharacters / 16 + Characters(c.line) >= c.maxCharacters;
        EXPECT_TRUE(lineBoundHolds || characterBoundHolds) << LineBreaks(kept) << " breaks, " << Characters(kept);
        // And the pane goes on from there.
        pane.Append("end");
        EXPECT_EQ(pane.Text().substr(pane.Text().size() - 3), "end");
        EXPECT_FALSE(pane.Empty());
    }
}

// Both sides of the bound: exactly the bound's lines (an unfinished last line among them) stay, one
// more drops exactly the oldest; a line break is one character however it comes.
TEST(OutputPaneText, KeepsExactlyTheBoundAtBothItsSides) {
    for (const output_bound_cases::Case& c : output_bound_cases::Cases()) {
        SCOPED_TRACE(c.what);
        OutputPaneText pane;
        pane.SetBounds(c.maxLines, c.maxCharacters);
        std::string written;
        for (const std::string& piece : c.pieces) {
            pane.Append(piece);
            written += piece;
        }
        EXPECT_EQ(pane.Text(), output_bound_cases::After(written, c.dropped, c.cut));
        EXPECT_EQ(pane.Lines(), static_cast<std::size_t>(c.keptLines));
    }
}

// A replacement is bound like an addition, and empties the pane only when it is empty.
TEST(OutputPaneText, BindsAReplacementAndKnowsWhetherItShowsAnything) {
    OutputPaneText pane;
    pane.SetBounds(3, 1 << 20);
    EXPECT_TRUE(pane.Empty());
    pane.Replace("1\r\n2\r\n3\r\n4");
    EXPECT_EQ(pane.Text(), "2\r\n3\r\n4");  // three lines
    EXPECT_FALSE(pane.EndsWithLineFeed());
    pane.Append("\r\n");
    EXPECT_TRUE(pane.EndsWithLineFeed());
    pane.Replace("");
    EXPECT_TRUE(pane.Empty());
    EXPECT_FALSE(pane.EndsWithLineFeed());
    pane.Append("");
    EXPECT_TRUE(pane.Empty());
}

// Text taken for a stream leaves the pane, which still shows it: a line break split between what
// was taken and what comes next is still one break.
TEST(OutputPaneText, LetsGoOfTakenTextButNotOfWhatItShows) {
    OutputPaneText pane;
    pane.SetBounds(2, 1 << 20);
    pane.Append("a\r");
    EXPECT_EQ(pane.TakeText(), "a\r");
    EXPECT_EQ(pane.Text(), "");
    EXPECT_FALSE(pane.Empty());
    pane.Append("\nb\r\nc");
    EXPECT_EQ(pane.Text(), "\nb\r\nc");  // one break kept: the split one counts as taken
    pane.TakeText();
    pane.Append("\n");
    EXPECT_TRUE(pane.EndsWithLineFeed());
    EXPECT_EQ(pane.TakeText(), "\n");
    EXPECT_TRUE(pane.EndsWithLineFeed());
}

// The desktop's bound: a million lines, 64 Mi characters.
TEST(OutputPaneText, KeepsTheDesktopsBoundByDefault) {
    OutputPaneText pane;
    for (int i = 0; i < 1000100; ++i) pane.Append(std::to_string(i) + "\r\n");
    std::string kept = pane.Text();
    EXPECT_EQ(LineBreaks(kept), OutputPaneText::kMaxLines);
    EXPECT_EQ(kept.substr(0, 5), "100\r\n");
    EXPECT_EQ(kept.substr(kept.size() - 9), "1000099\r\n");
    pane.Replace("");
    const std::string line(std::size_t{1} << 20, 'x');
    for (int i = 0; i < 70; ++i) pane.Append(line);
    EXPECT_LE(pane.Text().size(), OutputPaneText::kMaxCharacters);
    EXPECT_GE(pane.Text().size(), OutputPaneText::kMaxCharacters - OutputPaneText::kMaxCharacters / 16 - line.size());
}

}  // namespace
