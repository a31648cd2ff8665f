// Built-in values: words that the lexer replaces by a literal while it reads the text (Clock, Ask,
// the binary file reads, the file tests, FileReadString, SelectFile, True/False/Yes/No). Each value
// reads its own arguments, and yields its neutral literal ("0" or "") in the check pass without
// touching a file, a window or the clock.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "interpreter/builtin_arguments.h"
#include "interpreter/keyword_codes.h"
#include "interpreter/tessel_parser.h"
#include "platform/crt_file.h"
#include "platform/crt_runtime.h"
#include "platform/desktop.h"

namespace {

using namespace builtin;

constexpr const char* kSelectFileTitle = "Tessel Select File ..................";

// The literal a value hands to the lexer.
struct Literal {
    int token = token::kNumber;
    std::string text;
};

// A truth value's text is one character; assigning it as a char also keeps GCC 12 at -O3 from a
// false -Wrestrict on the inlined string copy.
char TruthDigit(bool yes) { return yes ? '1' : '0'; }

template <typename Number>
std::string Printed(const char* format, Number value) {
    char small[64];
    const int n = std::snprintf(small, sizeof small, format, value);
    if (n < 0) return std::string();
    if (static_cast<std::size_t>(n) < sizeof small) return std::string(small, static_cast<std::size_t>(n));
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, value);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

// Reads `width` bytes; at the end of the file (or on a failed read) every byte is 0, so the value
// read is 0 rather than whatever the buffer held.
template <typename Stored>
Stored ReadLittleEndian(crt::CrtFile& file) {
    unsigned char bytes[sizeof(Stored)] = {};
    if (file.Read(bytes, 1, sizeof bytes) != sizeof bytes) return Stored{};
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < sizeof bytes; ++i) bits |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    Stored value{};
    if constexpr (sizeof(Stored) == 8) {
        std::memcpy(&value, &bits, sizeof value);
    } else if constexpr (sizeof(Stored) == 4) {
        const auto narrow = static_cast<std::uint32_t>(bits);
        std::memcpy(&value, &narrow, sizeof value);
    } else if constexpr (sizeof(Stored) == 2) {
        const auto narrow = static_cast<std::uint16_t>(bits);
        std::memcpy(&value, &narrow, sizeof value);
    } else {
        const auto narrow = static_cast<std::uint8_t>(bits);
        std::memcpy(&value, &narrow, sizeof value);
    }
    return value;
}

// The literal text of one binary read, formatted as the value's width prescribes.
std::string BinaryReadText(int keyword, crt::CrtFile& file) {
    switch (keyword) {
        case kw::kFileRead1b: return Printed("%d", static_cast<int>(ReadLittleEndian<std::int8_t>(file)));
        case kw::kFileRead2b: return Printed("%d", static_cast<int>(ReadLittleEndian<std::int16_t>(file)));
        case kw::kFileRead4bi: return Printed("%d", static_cast<int>(ReadLittleEndian<std::int32_t>(file)));
        case kw::kFileRead4bf: return Printed("%.5f", static_cast<double>(ReadLittleEndian<float>(file)));
        case kw::kFileRead8b: return Printed("%.9f", ReadLittleEndian<double>(file));
        case kw::kFileRead1bu: return Printed("%u", static_cast<unsigned>(ReadLittleEndian<std::uint8_t>(file)));
        case kw::kFileRead2bu: return Printed("%u", static_cast<unsigned>(ReadLittleEndian<std::uint16_t>(file)));
        default: return Printed("%u", static_cast<unsigned>(ReadLittleEndian<std::uint32_t>(file)));
    }
}

// Reads one built-in value's arguments and computes its literal.
class BuiltinValueReader {
public:
    explicit BuiltinValueReader(CTesselParser& parser) : p_(parser) {}

    int Evaluate(int keyword, Literal& out) {
        switch (keyword) {
            case kw::kTrue: case kw::kYes: out.text = TruthDigit(true); return 1;
            case kw::kFalse: case kw::kNo: out.text = TruthDigit(false); return 1;
            case kw::kClock: out.text = Executing() ? Printed("%ld", crt::Clock()) : "0"; return 1;
            case kw::kAsk: return Ask(out);
            case kw::kFileExists: return FileExistsValue(out);
            case kw::kFileReadString: return ReadString(out);
            case kw::kSelectFile: return SelectFile(out);
            default: return FileValue(keyword, out);
        }
    }

private:
    bool Executing() const { return p_.execute != 0; }

    // Ask expr: the expression follows the word directly.
    int Ask(Literal& out) {
        Value question;
        if (!p_.ReadExpression2(question)) return 0;
        out.text = TruthDigit(false);
        if (Executing()) {
            const int answer = desktop::Current().MessageBox(p_.ownerWindow, ValueToText(question, true), p_.caption,
                                                             desktop::kYesNo | desktop::kIconQuestion);
            out.text = TruthDigit(answer == desktop::kIdYes);
        }
        return 1;
    }

    // ( expr ): the expression's text.
    int ParenthesisedText(std::string& text) {
        if (!p_.Expect(kw::kOpenParen)) return 0;
        Value v;
        if (!p_.ReadExpression2(v)) return 0;
        if (!p_.Expect(kw::kCloseParen)) return 0;
        text = ValueToText(v, Executing());
        return 1;
    }

    int FileExistsValue(Literal& out) {
        std::string path;
        if (!ParenthesisedText(path)) return 0;
        out.text = TruthDigit(Executing() && CTesselParser::FileExists(path.c_str()));
        return 1;
    }

    int SelectFile(Literal& out) {
        std::string pattern;
        if (!ParenthesisedText(pattern)) return 0;
        out.token = token::kStringValue;
        if (Executing()) {
            out.text = desktop::Current().SelectFile(p_.ownerWindow, kSelectFileTitle + pattern, pattern);
        }
        return 1;
    }

    // ( fileVar ): the element's record; afterName marks the variable for "File Not Open.".
    int FileArgument(ElementRef& record, ScanMark& afterName) {
        return p_.Expect(kw::kOpenParen) && ReadFileVariable(p_, record, afterName) &&
               p_.Expect(kw::kCloseParen);
    }

    // The open file of the element, or the "File Not Open." error on the variable's word.
    crt::CrtFile* OpenFileOrFail(ElementRef record, const ScanMark& afterName) {
        crt::CrtFile* file = FileOf(p_, record);
        if (file == nullptr) {
            p_.RestorePosition(afterName);
            p_.FailWith(message::kFileNotOpen);
        }
        return file;
    }

    // FileReadString( count , fileVar ): up to count characters, ending after a line feed.
    int ReadString(Literal& out) {
        out.token = token::kStringValue;
        std::int32_t count = 0;
        if (!p_.Expect(kw::kOpenParen) || !ReadWholeNumber(p_, count) || !p_.Expect(kw::kComma)) return 0;
        ElementRef record;
        ScanMark afterName;
        if (!ReadFileVariable(p_, record, afterName) || !p_.Expect(kw::kCloseParen)) return 0;
        if (!Executing()) return 1;
        if (count < 1) return p_.FailWith(message::kPositiveValues);
        crt::CrtFile* file = OpenFileOrFail(record, afterName);
        if (file == nullptr) return 0;
        GetFileString(*file, count, out.text);
        return 1;
    }

    // The values that take ( fileVar ).
    int FileValue(int keyword, Literal& out) {
        ElementRef record;
        ScanMark afterName;
        if (!FileArgument(record, afterName)) return 0;
        out.text = TruthDigit(false);
        if (!Executing()) return 1;
        if (keyword == kw::kFileIsOpen) {
            out.text = TruthDigit(FileOf(p_, record) != nullptr);
            return 1;
        }
        crt::CrtFile* file = OpenFileOrFail(record, afterName);
        if (file == nullptr) return 0;
        switch (keyword) {
            case kw::kFileSize: out.text = Printed("%lld", static_cast<long long>(file->Length())); break;
            case kw::kFileTell: out.text = Printed("%lld", static_cast<long long>(file->Tell())); break;
            case kw::kFileEof: out.text = TruthDigit(file->Eof()); break;
            default: out.text = BinaryReadText(keyword, *file); break;
        }
        return 1;
    }

    CTesselParser& p_;
};

}  // namespace

int CTesselParser::FileExists(const char* path) { return path != nullptr && crt::FileExists(path) ? 1 : 0; }

int CTesselParser::EvaluateBuiltinValue(int code, int* tokenOut) {
    *tokenOut = token::kUnknown;
    if (!IsBuiltinValueCode(code)) {
        // Any other keyword read since the literal (a loop's closing word, a condition's keyword)
        // means the text is being scanned anew: the next reading evaluates again.
        lastBuiltinLiteral.historyIndex = -1;
        return 0;
    }

    // The keyword's own history entry; a full history (the last entry overwritten) is not replayed.
    const int entry = history.Count() - 1;
    const bool trackable = entry >= 0 && entry < kHistoryLast - 1;
    const int keywordStart = trackable ? history.Start(entry) : -1;
    BuiltinLiteral& last = lastBuiltinLiteral;
    if (trackable && last.historyIndex == entry && last.start == keywordStart && last.execute == execute &&
        history.NoWordAt(entry + 1)) {
        position = last.end;
        history.SetLength(entry, last.end - keywordStart);
        word = last.text;
        wordHeldFrom_ = -1;
        *tokenOut = last.token;
        return 1;
    }

    Literal literal;
    BuiltinValueReader reader(*this);
    if (!reader.Evaluate(code, literal)) return 0;
    word = literal.text;
    wordHeldFrom_ = -1;
    *tokenOut = literal.token;
    if (!trackable) {
        last.historyIndex = -1;
        return 1;
    }
    // The literal stands for the keyword and its arguments as one history entry, so that putting it
    // back returns to the keyword.
    history.JoinLiteral(entry, position - keywordStart);
    KeepBuiltinLiteral(entry, keywordStart, position, literal.token, literal.text);
    return 1;
}

void CTesselParser::KeepBuiltinLiteral(int entry, int start, int end, int token, const std::string& text) {
    BuiltinLiteral& last = lastBuiltinLiteral;
    last.historyIndex = entry;
    last.start = start;
    last.end = end;
    last.token = token;
    last.execute = execute;
    last.text = text;
}
