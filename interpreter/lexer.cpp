// The lexer: turns the text at the current position into one word and its token code, keeps the
// token history, skips comments and honours the view's pause and stop flags between tokens.
//
// The interpreter re-reads its text on every loop pass and call, so what a position scans to (the
// whitespace skipped, the word's bounds, whether it is a keyword or a number, its slot in the
// variable name index) is kept per position of the script text. Everything observable is still done at every read: the
// flags are polled, the history is written, built-in values are evaluated, and variables and
// extension words are looked up in the current tables.
#include <algorithm>
#include <cstring>
#include <new>

#include "interpreter/builtin_arguments.h"
#include "interpreter/keyword_codes.h"
#include "interpreter/tessel_parser.h"
#include "platform/crt_runtime.h"

namespace {

constexpr int kPauseStepMs = 500;
constexpr int kUnclosedCommentWaitMs = 2000;
const char kUnclosedCommentText[] = " Syntax Error : \"/*\" without \"*/\".";
const char kTooLongText[] = "ERROR : Too Long . The Highlighted word is the limit.";

// Byte classes as tables: the sets are searched for every byte of every word.
struct ByteClasses {
    bool whitespace[256] = {};
    bool delimiter[256] = {};
    constexpr ByteClasses() {
        // Both sets are NUL-terminated strings in which NUL itself is found.
        whitespace[0] = true;
        delimiter[0] = true;
        for (const char* p = "\r\n\t \r"; *p; ++p) whitespace[static_cast<unsigned char>(*p)] = true;
        for (const char* p = "\".~`!@#$%^&*()-=+|{}[];:'?/<>,\\"; *p; ++p)
            delimiter[static_cast<unsigned char>(*p)] = true;
    }
};
constexpr ByteClasses kClasses;

inline bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
// A whitespace byte that the skip before a word passes over (NUL is not skipped: it ends the scan).
inline bool IsSkippable(unsigned char c) { return c != 0 && kClasses.whitespace[c]; }
inline bool EndsWord(unsigned char c) { return kClasses.whitespace[c] || kClasses.delimiter[c]; }

// word := the n bytes at source. Shrinking the string in place is inline; only a longer word
// takes the library's general (out-of-line) assignment.
// Words are short: a plain byte loop beats a library call (GCC is kept from making it one).
#if defined(__clang__)
#define KESTRUM_BYTE_LOOP __attribute__((always_inline))
#else
#define KESTRUM_BYTE_LOOP __attribute__((always_inline, optimize("no-tree-loop-distribute-patterns")))
#endif
KESTRUM_BYTE_LOOP inline void SetWord(
    std::string& word, const char* source, std::size_t n) {
    if (n <= word.size()) {
        char* destination = word.data();
        for (std::size_t i = 0; i < n; ++i) destination[i] = source[i];
        if (n != word.size()) word.erase(n);  // inline, where resize would be a library call
    } else {
        word.assign(source, n);
    }
}

bool IsTwoCharOperator(unsigned char c, unsigned char n) {
    switch (c) {
        case '*': return n == '/';
        case '/': return n == '*' || n == '/';
        case '<': return n == '=' || n == '>';
        case '>': return n == '=';
        default: return false;
    }
}

// The end of the word that starts at s (step 5 of reading a token); s itself when it is empty.
// The text must be NUL-terminated: words end at a NUL, not at the text length.
int WordEnd(const unsigned char* t, int s) {
    const unsigned char c = t[s];
    const unsigned char n = c ? t[s + 1] : 0;
    if (c == 0 || kClasses.whitespace[c]) return s;
    if (c == '.' && !IsDigit(n) && n != '.') return s + 1;
    int p = s;
    if (IsDigit(c) || c == '.') {  // a number word (a "." here is followed by a digit or a ".")
        while (t[p] != 0 && (IsDigit(t[p]) || t[p] == '.')) ++p;
        if (!EndsWord(t[p])) {  // 12abc, 1e5: one word that is not a number
            while (!EndsWord(t[p])) ++p;
        }
        return p;
    }
    if (kClasses.delimiter[c]) return IsTwoCharOperator(c, n) ? s + 2 : s + 1;
    while (!EndsWord(t[p])) ++p;
    return p;
}

}  // namespace

bool CTesselParser::IsWhitespaceChar(unsigned char c) { return kClasses.whitespace[c]; }

bool CTesselParser::IsDelimiterChar(unsigned char c) { return kClasses.delimiter[c]; }

bool CTesselParser::IsNumberText(const char* w, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(w[i]);
        if (!IsDigit(c) && c != '.' && c != '-') return false;
    }
    return true;
}

void CTesselParser::SetSource(const std::string& text) {
    scriptText.assign(text);
    scriptText.append(100, '\0');
    sourceLength_ = static_cast<int>(std::min<std::size_t>(text.size(), 0x7FFFFFF0u));
    std::vector<ScanCacheEntry>().swap(scanCache_);
    strippedWords_.clear();
    cachedText_ = nullptr;
    cacheRefused_ = false;
    wordHeldFrom_ = -1;
    regions_.Clear();
    history.Disturb();  // what compiled code knew of the history was of the old text
}

void CTesselParser::InitRunBuffers() {
    errorText.clear();
    history.Allocate();
    word.clear();
    word.reserve(kStringLiteralLimit);
    wordHeldFrom_ = -1;
    variableIndex = -1;
    SetRunning(0);
}

namespace {
long Scaled(long milliseconds, double scale) { return static_cast<long>(static_cast<double>(milliseconds) * scale); }
}  // namespace

void CTesselParser::LexerSleep(long milliseconds) { crt::SleepMilliseconds(Scaled(milliseconds, sleepScale)); }

void CTesselParser::WaitWhilePaused() {
    // The stop flag is not looked at while paused: a stop during a pause acts after Resume.
    while (view->paused.load(std::memory_order_relaxed)) LexerSleep(kPauseStepMs);
}

void CTesselParser::ComputeScanEntry(const char* text, int length, int from, ScanCacheEntry& entry,
                                     std::string& pool) {
    const auto* t = reinterpret_cast<const unsigned char*>(text);
    int s = from;
    while (s < length && IsSkippable(t[s])) ++s;
    entry = ScanCacheEntry{};
    entry.start = s;
    entry.end = s;
    entry.stripped = kNotStripped;
    if (s >= length) {
        entry.kind = kScanEnd;
        return;
    }
    entry.end = WordEnd(t, s);
    const int rawLength = entry.end - s;
    if (rawLength == 0) {
        entry.kind = kScanEmpty;
        return;
    }
    if (rawLength >= kWordLimit) {
        entry.kind = kScanTooLong;
        return;
    }
    const char* w = text + s;
    std::size_t wordLength = static_cast<std::size_t>(rawLength);
    if (std::memchr(w, 0xDC, wordLength) != nullptr) {
        entry.stripped = static_cast<std::uint32_t>(pool.size());
        for (int i = 0; i < rawLength; ++i)
            if (static_cast<unsigned char>(w[i]) != 0xDC) pool.push_back(w[i]);
        wordLength = pool.size() - entry.stripped;
        w = pool.data() + entry.stripped;
    }
    entry.strippedLength = static_cast<std::uint16_t>(wordLength);
    int code = FindKeyword(w, wordLength);
    if (code >= keywords.GetCount()) code = -1;  // an incomplete table: only the rows it has
    if (code >= 0) {
        entry.kind = static_cast<std::int16_t>(code);
        entry.flat = code != kw::kCommentOpen && code != kw::kLineComment && !builtin::IsBuiltinValueCode(code);
    } else if (IsNumberText(w, wordLength)) {
        entry.kind = kScanNumber;
        entry.flat = 1;
    } else {
        entry.kind = kScanName;
        entry.flat = 1;
    }
}

CTesselParser::ScanCacheEntry& CTesselParser::FillCacheEntry(int from) {
    ScanCacheEntry& entry = scanCache_[static_cast<std::size_t>(from)];
    ComputeScanEntry(scriptText.data(), sourceLength_, from, entry, strippedWords_);
    return entry;
}

bool CTesselParser::StartScanCache() {
    // 24 bytes per byte of text: texts past the bound (or a cache that cannot be had) are read
    // without one, at the speed of a first reading.
    if (sourceLength_ > kMaxCachedTextLength) return false;
    try {
        scanCache_.assign(static_cast<std::size_t>(sourceLength_) + 1, ScanCacheEntry{});
    } catch (const std::bad_alloc&) {
        std::vector<ScanCacheEntry>().swap(scanCache_);
        return false;
    }
    strippedWords_.clear();
    cachedText_ = scriptText.data();
    return true;
}

inline CTesselParser::ScanCacheEntry& CTesselParser::ScanEntryAt(const char* text, int length, int from) {
    if (text == cachedText_ && length == sourceLength_ && from <= length) {
        ScanCacheEntry& entry = scanCache_[static_cast<std::size_t>(from)];
        return entry.kind != kScanUnfilled ? entry : FillCacheEntry(from);
    }
    if (text == scriptText.data() && length == sourceLength_ && from <= length && cachedText_ == nullptr &&
        !cacheRefused_) {
        if (StartScanCache()) return FillCacheEntry(from);
        cacheRefused_ = true;
    }
    scratchStripped_.clear();
    ComputeScanEntry(text, length, from, scratchEntry_, scratchStripped_);
    return scratchEntry_;
}

// The word at `entry` becomes the token just read: its history entry, the position after it,
// and `word`. `cached`: the entry is the scan cache's (not the scratch entry of an uncached text).
__attribute__((always_inline)) inline void CTesselParser::TakeEntry(const ScanCacheEntry& entry, const char* text,
                                                                     bool cached) {
    const int start = entry.start;
    const int end = entry.end;
    history.Record(start, end - start);
    variableIndex = -1;
    position = end;

    // A word put back and read again (every expression level looks one word ahead) is still in
    // `word`: only a cached position is trusted, since a cached text's bytes do not change.
    if (!cached || wordHeldFrom_ != start) {
        if (entry.stripped == kNotStripped) {
            SetWord(word, text + start, static_cast<std::size_t>(end - start));
        } else {
            const std::string& pool = cached ? strippedWords_ : scratchStripped_;
            SetWord(word, pool.data() + entry.stripped, entry.strippedLength);
        }
        wordHeldFrom_ = cached ? start : -1;
    }
}

__attribute__((always_inline)) inline int CTesselParser::ScanToken(const char* text, int length, bool insideComment,
                                                                   bool& keyword) {
    keyword = false;
    if (view->paused.load(std::memory_order_relaxed)) WaitWhilePaused();
    if (view->stopRequested.load(std::memory_order_relaxed)) {
        runState = kStoppedByUser;
        return token::kEnd;
    }
    // After a reported error the pass is over: reading ends as after a stop, so that nothing
    // unwinding from the error can scan (and evaluate) the text again.
    if (runState == kEndedByError) return token::kEnd;
    if (length < 1 || position < 0) return token::kEnd;

    ScanCacheEntry& entry = ScanEntryAt(text, length, position);
    position = entry.start;
    if (entry.kind == kScanEnd) return token::kEnd;

    TakeEntry(entry, text, &entry != &scratchEntry_);
    if (entry.kind >= 0) {
        keyword = true;
        return entry.kind;
    }
    switch (entry.kind) {
        case kScanNumber: return token::kNumber;
        case kScanEmpty: return token::kEnd;
        case kScanTooLong:
            // Inside a block comment a word is never used, so its length does not matter.
            if (insideComment) return token::kUnknown;
            FailWith(kTooLongText);
            return token::kEnd;
        default: break;
    }
    return ResolveName(entry);
}

// A word that is not a keyword or a number: a variable, an extension word or unknown, looked up
// in the current tables (kept out of the token path above, which most words leave earlier).
__attribute__((noinline)) int CTesselParser::ResolveName(ScanCacheEntry& entry) {
    // A run, and the word's slot known: the newest declaration of the name, without a call.
    const int found = execute && entry.nameGeneration == names_.Generation() ? names_.Newest(entry.nameSlot)
                                                                              : FindVariableForEntry(entry);
    if (found >= 0) {
        variableIndex = found;
        return token::kVariable;
    }
    objectKeywordId = FindObjectKeyword(word.c_str());
    if (objectKeywordId != -2) return token::kObjectKeyword;
    objectVariableIndex = FindObjectVariable(word.c_str());
    return objectVariableIndex >= 0 ? token::kObjectVariable : token::kUnknown;
}

// Any keyword that is not a built-in value, without the call that evaluates one: the same nesting
// test at the limit, and the put-back literal forgotten (the text is being scanned anew).
inline int CTesselParser::PlainKeyword(int code) {
    if (nestingDepth >= kMaxNestingDepth) {
        ReportNestingTooDeep();
        return token::kEnd;
    }
    lastBuiltinLiteral.historyIndex = -1;
    return code;
}

// A built-in value's keyword: its literal replaces it (kept out of the token path).
__attribute__((noinline)) int CTesselParser::ReadBuiltinValue(int code) {
    // A built-in value reads its arguments through this lexer again, so each one is a
    // nesting level: nested values cannot run the stack out.
    if (!EnterNesting()) return token::kEnd;
    int literal = -1;
    const int replaced = EvaluateBuiltinValue(code, &literal);
    LeaveNesting();
    return replaced ? literal : code;
}

// Most reads are of a cached, already scanned position holding a keyword that is no built-in value
// and no comment, a number or a name, with no pause, stop or error pending. That case takes this
// one flat path; everything else (and any doubt) takes the full reading below, which gives the same
// result for the common case too.
int CTesselParser::NextToken(const char* text, int length, int raw) {
    lastReadRepeats_ = false;
    if (text != cachedText_ || length != sourceLength_ || length < 1 ||
        static_cast<unsigned>(position) > static_cast<unsigned>(length) ||
        view->paused.load(std::memory_order_relaxed) || view->stopRequested.load(std::memory_order_relaxed) ||
        runState == kEndedByError || history.Count() < 0 || history.Count() >= kHistoryLast) {
        return ReadTokenFully(text, length, raw);
    }
    ScanCacheEntry& entry = scanCache_[static_cast<std::size_t>(position)];
    if (!entry.flat) return ReadTokenFully(text, length, raw);
    TakeEntry(entry, text, true);
    const int kind = entry.kind;
    if (kind >= 0) {
        if (raw) return kind;
        const int code = PlainKeyword(kind);
        lastReadRepeats_ = code == kind && code != token::kEnd;
        return code;
    }
    if (kind == kScanNumber) return token::kNumber;
    return ResolveName(entry);
}

__attribute__((noinline)) int CTesselParser::ReadTokenFully(const char* text, int length, int raw) {
    for (;;) {
        bool keyword = false;
        const int code = ScanToken(text, length, false, keyword);
        if (!keyword) return code;
        if (code == kw::kCommentOpen) {
            if (SkipBlockCommentIn(text, length)) continue;
            return token::kUnclosedComment;
        }
        if (raw) return code;
        if (code != kw::kLineComment) {
            return builtin::IsBuiltinValueCode(code) ? ReadBuiltinValue(code) : PlainKeyword(code);
        }
        SkipToEndOfLineIn(text, length);
    }
}

const CTesselParser::ScanCacheEntry* CTesselParser::CachedEntryAt(int from) {
    if (!ScanIsCached() || from < 0 || from > sourceLength_) return nullptr;
    return &ScanEntryAt(scriptText.data(), textLength, from);
}

std::string_view CTesselParser::CachedWordText(const ScanCacheEntry& entry) const {
    if (entry.stripped == kNotStripped)
        return {scriptText.data() + entry.start, static_cast<std::size_t>(entry.end - entry.start)};
    return {strippedWords_.data() + entry.stripped, entry.strippedLength};
}

void CTesselParser::SettleWord(int from, bool putBack) {
    ScanCacheEntry& entry = scanCache_[static_cast<std::size_t>(from)];
    TakeEntry(entry, scriptText.data(), true);
    if (entry.kind >= 0) {
        currentToken = entry.kind;
        lastReadRepeats_ = true;
        lastBuiltinLiteral.historyIndex = -1;
    } else {
        // A number, or a name looked up in the current tables as the flat reading does.
        lastReadRepeats_ = false;
        currentToken = entry.kind == kScanNumber ? token::kNumber : ResolveName(entry);
    }
    if (putBack) UngetToken();
}

void CTesselParser::SettleRawWord(int from) {
    const ScanCacheEntry& entry = scanCache_[static_cast<std::size_t>(from)];
    TakeEntry(entry, scriptText.data(), true);
    currentToken = entry.kind;
    lastReadRepeats_ = false;
}

int CTesselParser::SkipBlockComment() { return SkipBlockCommentIn(scriptText.data(), textLength); }

// Comments nest: every "/*" read inside opens one more level, every "*/" closes one. The levels
// are kept on a stack of marks rather than by recursion, so that no text can exhaust the stack.
// When the text ends inside, each open level is reported once, innermost first, each put back to
// just after its own "/*"; an outer level is not scanned again after an inner one has failed,
// since the same tokens would fail it the same way.
int CTesselParser::SkipBlockCommentIn(const char* text, int length) {
    commentMarks_.clear();
    ScanMark mark;
    SavePosition(mark);
    commentMarks_.push_back(mark);
    for (;;) {
        bool keyword = false;
        const int code = ScanToken(text, length, true, keyword);
        if (keyword && code == kw::kCommentOpen) {
            SavePosition(mark);
            commentMarks_.push_back(mark);
            continue;
        }
        if (keyword && code == kw::kCommentClose) {
            commentMarks_.pop_back();
            if (commentMarks_.empty()) return 1;
            continue;
        }
        if (code != token::kEnd) continue;
        while (!commentMarks_.empty()) {
            RestorePosition(commentMarks_.back());
            commentMarks_.pop_back();
            ReportUnclosedComment();
        }
        // Time to read the message in the window: one wait however many levels were open, none
        // after a stop, none where there is no window.
        if (view->HasOutputWindow() && !view->stopRequested.load(std::memory_order_relaxed) &&
            !view->WaitWhileShown(Scaled(kUnclosedCommentWaitMs, sleepScale)))
            LexerSleep(kUnclosedCommentWaitMs);
        return 0;
    }
}

// Every open level is reported, also after the first (unlike other errors).
void CTesselParser::ReportUnclosedComment() {
    if (view->stopRequested.load(std::memory_order_relaxed)) {
        runState = kStoppedByUser;
        return;
    }
    ReportError(-1, LastTokenStart(), LastTokenLength(), kUnclosedCommentText);
    errorText = kUnclosedCommentText;
    execute = 0;
    runState = kEndedByError;
}

void CTesselParser::SkipToEndOfLine() { SkipToEndOfLineIn(scriptText.data(), textLength); }

void CTesselParser::SkipToEndOfLineIn(const char* text, int length) {
    while (position < length && text[position] != '\n' && text[position] != '\r') ++position;
}

int CTesselParser::LastTokenStart() const { return history.LastStart(); }

int CTesselParser::LastTokenLength() const { return history.LastLength(); }

void CTesselParser::StripTatweel() {
    word.erase(std::remove(word.begin(), word.end(), static_cast<char>(0xDC)), word.end());
    wordHeldFrom_ = -1;
}

int CTesselParser::ReadRawUntilToken(const char* text, int length, int closingCode, std::string& out, int limit) {
    const int start = position;
    out.clear();
    long long running = 0;
    for (;;) {
        const int code = NextToken(text, length, 0);
        if (code == closingCode) break;
        if (running + static_cast<long long>(word.size()) > limit) return 2;
        if (code == token::kEnd) return 0;
        running += static_cast<long long>(word.size()) + 1;
    }
    const int closingStart = LastTokenStart();
    const int rawLength = closingStart - start;
    if (rawLength > limit) return 2;
    if (rawLength > 0) out.assign(text + start, static_cast<std::size_t>(rawLength));
    UngetToken();
    return 1;
}

void CTesselParser::UnescapeString(std::string& buffer) {
    std::size_t out = 0;
    std::size_t i = 0;
    const std::size_t n = buffer.size();
    while (i < n) {
        const char c = buffer[i];
        if (c == '\\' && i + 1 < n) {
            const char e = buffer[i + 1];
            if (e == 'n' || e == 'r') {
                buffer[out++] = '\r';
                buffer[out++] = '\n';
                i += 2;
                continue;
            }
            if (e == 't') {
                buffer[out++] = '\t';
                i += 2;
                continue;
            }
        }
        buffer[out++] = c;
        ++i;
    }
    buffer.resize(out);
}
