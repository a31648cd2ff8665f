// The output bound at both of its sides, one table for every pane that keeps it: each case is
// written piece by piece (one append each) to a pane of at most maxLines lines and maxCharacters
// characters, and keeps the written text after its `dropped` oldest lines, or after its `cut`
// oldest characters when the character bound cuts the newest line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace output_bound_cases {

struct Case {
    const char* what;
    std::vector<std::string> pieces;
    int maxLines;
    int maxCharacters;
    int dropped;  // the oldest lines that leave
    int cut;      // then the oldest characters that leave
    int keptLines;
};

inline std::vector<Case> Cases() {
    const std::string row(20000, 'r');
    std::string twentyLines;
    for (int i = 0; i < 20; ++i) twentyLines += "abc\r\n";
    return {
        {"exactly the bound, each line ended", {"1\r\n", "2\r\n", "3\r\n", "4\r\n"}, 4, 1000, 0, 0, 4},
        {"one line more drops exactly the first", {"1\r\n2\r\n3\r\n4\r\n", "5\r\n"}, 4, 1000, 1, 0, 4},
        {"many lines more in one piece", {"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9"}, 4, 1000, 5, 0, 4},
        {"an unfinished last line within the bound", {"1\r\n2\r\n3\r\n", "4"}, 4, 1000, 0, 0, 4},
        {"an unfinished last line counts", {"1\r\n2\r\n3\r\n4\r\n", "5"}, 4, 1000, 1, 0, 4},
        {"empty lines at the bound", {"\r\n\r\n\r\n\r\n"}, 4, 1000, 0, 0, 4},
        {"one empty line more", {"\r\n\r\n\r\n\r\n", "\r\n"}, 4, 1000, 1, 0, 4},
        {"CR LF split across appends", {"1\r", "\n2\r", "\n3\r", "\n4\r", "\n"}, 4, 1000, 0, 0, 4},
        {"CR LF split across appends, one line more", {"1\r", "\n2\r", "\n3\r", "\n4\r", "\n5\r", "\n"}, 4, 1000, 1, 0, 4},
        {"lone CRs at the bound", {"1\r2\r3\r4\r"}, 4, 1000, 0, 0, 4},
        {"lone CRs, one line more", {"1\r2\r3\r4\r", "5"}, 4, 1000, 1, 0, 4},
        {"lone LFs, two lines more", {"1\n2\n3\n4\n5\n6\n"}, 4, 1000, 2, 0, 4},
        {"LF CR is two breaks", {"1\n\r2\r3"}, 4, 1000, 0, 0, 4},
        {"LF CR is two breaks, one line more", {"1\n\r2\r3\r\n", "4"}, 4, 1000, 1, 0, 4},
        {"a bound of one line", {"a\r\n", "b\r\n", "c"}, 1, 1000, 2, 0, 1},
        // A line break is one character, also split across appends.
        {"exactly the character bound", {"abc\r\ndefg"}, 100, 8, 0, 0, 2},
        {"exactly the character bound, CR LF split", {"abc\r", "\ndefg"}, 100, 8, 0, 0, 2},
        {"exactly the character bound, lone breaks", {"ab\rc\nd\r\r\n"}, 100, 8, 0, 0, 4},
        {"a line of many rows at the character bound", {row}, 100, 20000, 0, 0, 1},
        // One character over: the excess and a sixteenth leave, cut from the newest line.
        {"one character more", {"abcdefghijklmnopq"}, 100, 16, 0, 2, 1},
        {"one character more in the next piece", {"abcdefghijklmnop", "q"}, 100, 16, 0, 2, 1},
        {"a cut in the newest finished line", {"abcdefghijklmnopq\r\n"}, 100, 16, 0, 3, 1},
        // An older line the cut falls in leaves whole.
        {"a cut in an older line", {"abcdefgh\r\n", "ijklmnop\r\n"}, 100, 16, 1, 0, 1},
        {"a cut in the oldest of many lines", {"abcd\r\nabcd\r\nabcd\r\nabcd\r\nabcd\r\nabcd\r\n"
                                               "abcd\r\nabcd\r\nabcd\r\nabcd\r\nabcd\r\nabcd\r\n", "x"}, 100, 60, 1, 0, 12},
        {"a cut on a line break", {"ab\r\n", "cdefghijklmnopq"}, 100, 16, 1, 0, 1},
        {"a cut among many lines in one piece", {twentyLines}, 100, 64, 5, 0, 15},
    };
}

// text after its `lines` oldest line breaks (a CR LF is one), then after `characters` more.
inline std::string After(const std::string& text, int lines, int characters) {
    std::size_t at = 0;
    for (; lines > 0 && at < text.size(); ++at) {
        if (text[at] == '\n' || text[at] == '\r') --lines;
        if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
    }
    return text.substr(at + static_cast<std::size_t>(characters));
}

}  // namespace output_bound_cases
