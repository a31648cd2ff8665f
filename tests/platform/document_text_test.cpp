#include "platform/document_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtf_reader.h"

namespace {

struct LoadCase {
    const char* what;
    std::string file;
    std::string text;
};

TEST(DocumentTextTest, PlainTextAndRtfBecomeCp1256WithLineFeeds) {
    const std::vector<LoadCase> cases = {
        {"CR LF, CR and LF", "a\r\nb\rc\nd", "a\nb\nc\nd"},
        {"CR CR LF is two line ends", "a\r\r\nb", "a\n\nb"},
        {"trailing CR", "a\r", "a\n"},
        {"ascii", "Print \"x\"", "Print \"x\""},
        {"UTF-8 Arabic", "\xD8\xA7\xD9\x84", "\xC7\xE1"},
        {"UTF-8 outside the code page", "x\xCE\xA9", "x?"},
        {"UTF-8 byte order mark dropped", "\xEF\xBB\xBFx\r\n", "x\n"},
        {"code page 1256 bytes stay", "\xC7\xE1\r\n", "\xC7\xE1\n"},
        {"mostly UTF-8 with one bad byte is 1256", "\xD8\xA7\xFF", "\xD8\xA7\xFF"},
        {"RTF", "{\\rtf1\\ansi\\ansicpg1256 \\'c7\\par\r\nPrint 1}", "\xC7\nPrint 1"},
        {"RTF carrying CR LF bytes", "{\\rtf1 a\\'0d\\'0ab\\'0dc}", "a\nb\nc"},
        {"empty", "", ""},
    };
    for (const LoadCase& c : cases) {
        std::string error = "stale";
        EXPECT_EQ(document::LoadScriptDocument(c.file, error), c.text) << c.what;
        EXPECT_EQ(error, "") << c.what;
    }
}

}  // namespace
