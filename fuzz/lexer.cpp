// Arbitrary bytes scanned as script text to its end, in ordinary and raw reading: no crash, no
// hang, no sanitizer report, and the token history always inside its bounds. Quotes start a raw
// string-literal read as the expression reader does it; every word ends up unescaped once.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "view/null_view.h"
#include "interpreter/tessel_parser.h"

namespace {

// The interpreter without an extension: every unknown word stays unknown.
class ScanParser : public CTesselParser {
public:
    explicit ScanParser(ViewServices* v) : CTesselParser(v) { sleepScale = 0; }
    void RegisterObjectKeywords() override {}
    int FindObjectKeyword(const char*) override { return -2; }
    int FindObjectVariable(const char*) override { return -1; }
    int ExecuteObjectKeywordStatement() override { return 0; }
    void ResetRun() override { ResetBaseRunState(); }
    int ExecuteObjectStatement() override { return 0; }
    int EvaluateObjectMember(Value&) override { return 0; }
    void ClearObjectVariables(int) override {}
    int SaveObjectStatement() override { return 0; }
    int LoadObjectStatement() override { return 0; }
};

void CheckHistory(const CTesselParser& p) {
    if (p.history.Count() < 0 || p.history.Count() > CTesselParser::kHistoryLast) std::abort();
    if (p.LastTokenStart() < 0 || p.LastTokenStart() + p.LastTokenLength() > p.textLength) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static NullView view;
    static ScanParser parser(&view);
    const int raw = data[0] & 1;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    parser.SetSource(text);
    parser.textLength = static_cast<int>(text.size());
    parser.ResetRun();
    parser.execute = 0;  // built-in values are neutral: no clock, files or questions
    parser.runState = kRunning;
    parser.errorText.clear();
    std::string literal;
    // Each token moves forward or ends the scan, so the text's length bounds the loop; the cap
    // only guards against a fault that would stop the scan from advancing.
    for (std::size_t tokens = 0; tokens < 4 * text.size() + 16; ++tokens) {
        const int code = parser.ReadToken(raw);
        CheckHistory(parser);
        if (code == token::kEnd || code == token::kUnclosedComment) break;
        if (!raw && (code == 1 || code == 81)) {
            const int r = parser.ReadRawUntilToken(parser.scriptText.data(), parser.textLength, code, literal,
                                                   CTesselParser::kStringLiteralLimit);
            if (r == 1) {
                CTesselParser::UnescapeString(literal);
                if (parser.ReadToken(raw) != code) std::abort();  // the closing quote, put back
            } else {
                break;
            }
        }
        if (raw && tokens % 7 == 3) {  // step back now and then: the same word must come again
            const std::string before = parser.word;
            parser.UngetToken();
            if (parser.ReadToken(raw) != code || parser.word != before) std::abort();
        }
    }
    return 0;
}
