// The Loriant Script interpreter: one object per check pass and run. It keeps no syntax tree: a
// pass reads the script text token by token (the lexer), evaluating expressions and executing
// statements as it scans; a run's loops, branches and called bodies are compiled the first time
// they are entered (CompiledRegions), with the same effects. The object is also the run's worker
// thread.
//
// Implementation is split by concern: lexer.cpp, variables.cpp, expressions.cpp, matrix_operands.cpp,
// statements.cpp, run_control.cpp, builtin_values.cpp, builtin_commands.cpp, object_files.cpp, and
// the regions in region_compiler.cpp, region_expressions.cpp, region_typed_code.cpp, region_runner.cpp.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "view/view_services.h"
#include "interpreter/compiled_regions.h"
#include "base/dyna_array.h"
#include "interpreter/keyword_catalogue.h"
#include "interpreter/name_index.h"
#include "interpreter/run_state.h"
#include "interpreter/token_history.h"
#include "interpreter/value.h"

class CMatrix;
namespace crt {
enum SaveResult : int;
}

// Token codes beyond the keyword catalogue's 0 .. 161.
namespace token {
constexpr int kNumber = 163;
constexpr int kStringValue = 164;
constexpr int kVariable = 165;
constexpr int kUnclosedComment = 167;
constexpr int kEnd = 168;
constexpr int kObjectVariable = 169;
constexpr int kObjectKeyword = 170;
constexpr int kUnknown = -1;
}  // namespace token

// A saved lexer position from which loops and calls scan the same text again.
struct ScanMark {
    int position = 0;
    int tokenCount = 0;
};

struct SubroutineRecord {
    int position = 0;
    int tokenCount = 0;
    std::string name;
};

// Which words end a block and what the end of the text means inside it.
enum BlockKind : int {
    kBlockWholeScript = 0,
    ForBody = 0x01,
    ThenBranch = 0x02,
    ElseBranch = 0x04,
    WhileBody = 0x08,
    DoBody = 0x10,
    CalledBody = 0x20,
    SubroutineCheck = 0x40,
    SingleStatement = 0x80,
};
// The blocks a run compiles.
constexpr int kRegionBlocks = ForBody | ThenBranch | ElseBranch | WhileBody | DoBody | CalledBody;

// The worker-thread base: the interpreter object is its own thread. The owner waits for
// Finished() before deleting or replacing an interpreter whose worker was started.
class ParserThread {
public:
    explicit ParserThread(ViewServices* owner);
    virtual ~ParserThread();
    ParserThread(const ParserThread&) = delete;
    ParserThread& operator=(const ParserThread&) = delete;

    // The worker's stack: deep enough for the nesting limit with room to spare, also under the
    // sanitizers, whose frames are several times larger.
    static constexpr std::size_t kStackBytes = std::size_t{256} << 20;

    // Starts InitInstance in a new thread with a stack of kStackBytes.
    bool CreateThread();
    // Blocks until the worker has ended (returns at once when none was started).
    void WaitFinished();
    bool Finished() const { return finished_.load(); }
    bool Started() const { return started_; }

    // The worker's body; returns 0 so that the thread ends.
    virtual int InitInstance() = 0;
    virtual int ExecuteNextStatement() = 0;

protected:
    ViewServices* owner_;

private:
    static void* ThreadMain(void* self);
    void Delete();  // the worker's last act: signals Finished
    std::atomic<bool> finished_{false};
    bool started_ = false;
    unsigned long thread_ = 0;
    std::mutex mutex_;
    std::condition_variable finishedSignal_;
};

class CTesselParser : public ParserThread {
public:
    static constexpr int kHistorySize = TokenHistory::kSize;
    static constexpr int kHistoryLast = TokenHistory::kLast;
    static constexpr int kWordLimit = 300;          // words of this length or more are an error
    static constexpr int kStringLiteralLimit = 50000;
    static constexpr int kMaxNestingDepth = 400;    // blocks, calls and parenthesised expressions
    static constexpr int kDefaultVariableStep = 5000;

    explicit CTesselParser(ViewServices* view);
    ~CTesselParser() override;

    // ===== construction, tables, variables and scopes (variables.cpp) =====
    void SetErrorText(const std::string& text) { errorText = text; }
    // false when the records cannot fit (the table's out-of-memory message has been shown); no
    // part of the array is then left in the table.
    // The tree lists the declaration at the word range given, by default the last word read.
    struct WordRange {
        int start;
        int length;
    };
    bool DeclareVariable(const std::string& name, int type, int count, int rows, int cols) {
        return DeclareVariable(name, type, count, rows, cols, LastWordRange());
    }
    bool DeclareVariable(const std::string& name, int type, int count, int rows, int cols, WordRange treeRange);
    // Index of the variable's record, or -1. Newest first; scope-aware in the check pass.
    int FindVariable(const char* name, std::size_t length);
    int FindVariable(const std::string& name) { return FindVariable(name.data(), name.size()); }
    // For the variable the last word named: reads the optional [index]; the element, none on error.
    // A plain (one-element) variable is answered inline: it reads nothing.
    ElementRef EvaluateArrayIndex() {
        const int v = variableIndex;
        if (v >= 0 && v < variables.GetCount() && variables[v].count == 1) return {v, 1};
        return EvaluateArrayElement();
    }
    // An element's slot and its copy as an expression operand (name, type, index, count, value).
    Value::Payload& ElementValue(ElementRef e) { return variables[e.record].Element(e.element); }
    // The slots of records from .. to - 1 (every element) that hold an open File.
    std::vector<Value::Payload*> OpenFileSlots(int from, int to);
    // "[" index "]" for an array of count elements (any table's): the element number 1 .. count,
    // or 0 after a reported error. The check pass takes every index as 1.
    int ReadElementIndex(int count);
    // After a "[": an Integer expression into bound (the mark is taken where it starts). A value of
    // another type puts the scan back to the mark and fails with the array-bound message.
    int ReadIntegerBound(Value& bound, ScanMark& afterBracket);
    std::string PushScope(const char* prefix, int counter);
    void PopScope(const std::string& suffix);
    int PrescanSubroutines();
    // Every change of the variables table's length goes through these two, so the name index stays true.
    bool AppendVariable(const Value& record);
    // Drops the records from newLength on (closing the files that only they hold, freeing their elements).
    void CutVariables(int newLength);
    // The base part of ResetRun: scan state, flags, scope path, tree positions, variables (step 5000).
    void ResetBaseRunState();

    // ===== lexer (lexer.cpp) =====
    void SetSource(const std::string& text);
    int NextToken(const char* text, int length, int raw);
    // NextToken on the script text; the result also becomes currentToken.
    int ReadToken(int raw = 0) { return currentToken = NextToken(scriptText.data(), textLength, raw); }
    void SavePosition(ScanMark& mark) const { mark.position = position; mark.tokenCount = history.Count(); }
    void RestorePosition(const ScanMark& mark) {
        position = mark.position;
        history.MoveTo(mark.tokenCount);
    }
    void UngetToken() { position = history.StepBack(); }
    // 0 the text ended first, 1 done, 2 too long.
    int ReadRawUntilToken(const char* text, int length, int closingCode, std::string& out, int limit);
    static void UnescapeString(std::string& buffer);
    // Source range of the last history entry (the word an error highlights).
    int LastTokenStart() const;
    int LastTokenLength() const;
    WordRange LastWordRange() const { return {LastTokenStart(), LastTokenLength()}; }

    // ===== expressions (expressions.cpp, matrix_operands.cpp) =====
    int ReadExpression2(Value& result);
    int ReadExpression(Value& result);
    int AssignMatrix(CMatrix& matrix, int rowFrom, int rowTo, int colFrom, int colTo, int integerOnly);
    int ParseBracketList();
    int EvaluateCondition(int& result);

    // ===== statements (statements.cpp) =====
    int ExecuteBlock(int doIt, int kind);
    int SkipToElseOrEndif(int* foundElse);
    int SkipToEndif();

    // ===== run control (run_control.cpp) =====
    int Compile(const int options[4]);
    bool StoppedInCheckPass() const;
    void EndCheckPassByStop();
    int BeginRun(int executeFlag);
    int SetRunMode(int executeFlag);
    int InitInstance() override;
    int EndRun(int executeFlag);
    void ReportError(int expectedCode, int start, int length, const std::string& text);
    // A file closed at a scope's or the run's end lost what was written: the run fails.
    void LoseWrittenData();
    void FailOutOfMemoryInPass();
    void WaitMilliseconds(long milliseconds);
    void SetRunning(int flag);
    // The shared failure rules. Report text E on the last token read: when a stop was requested,
    // run state 1 and nothing shown; else ReportError, error text E, execute 0, run state 4. Returns 0.
    int FailWith(const std::string& text);
    int FailWithAt(const std::string& text, int start, int length);
    // The expected-word rule: ReportError with keyword code on the last token, execute 0, run state 4. Returns 0.
    int FailExpected(int keywordCode);
    // Reads a word: 1 when it is the keyword, else the expected-word rule.
    int Expect(int keywordCode) { return ReadToken() == keywordCode ? 1 : FailExpected(keywordCode); }
    // Puts the word just read back, unless it was the end of the text (which left no history entry).
    void StepBackUnlessEnd() {
        if (currentToken != token::kEnd) UngetToken();
    }
    // An expression used as a number: an Integer or Float as a double (isInteger tells which); a
    // String, Matrix or File is reported, as having no number.
    int ReadNumber(double& number, bool* isInteger = nullptr);
    // An expression that must be an Integer (" Syntax Error : Expression must be integer.").
    int ReadIntegerExpression(int& number);
    // Nesting depth of blocks, calls and parenthesised expressions; false (error reported) past the limit.
    bool EnterNesting() {
        if (nestingDepth < kMaxNestingDepth) {
            ++nestingDepth;
            return true;
        }
        return ReportNestingTooDeep();
    }
    void LeaveNesting() { --nestingDepth; }

    // ===== built-in values and commands (builtin_values.cpp, builtin_commands.cpp) =====
    static int FileExists(const char* path);
    // BiggestArray's number as the variable table's grow step: a step below 1 could not grow the
    // table, so it leaves the step as it is.
    void SetVariableStep(std::int32_t step) {
        if (step >= 1) variables.SetGrowBy(step);
    }

    // ===== object files (object_files.cpp) =====
    int SaveObjectToFile(ElementRef element, const std::string& name, crt::SaveResult* outcome = nullptr);
    int LoadObject(ElementRef element, const std::string& name);

    // ===== extension operations (the network extension fills them) =====
    int ExecuteNextStatement() override;
    virtual void BuildHelpTree(HelpTreeTarget& tree);
    virtual void RegisterObjectKeywords() = 0;
    virtual int FindObjectKeyword(const char* word) = 0;        // id or -2
    virtual int FindObjectVariable(const char* word) = 0;       // index or -1
    virtual int ExecuteObjectKeywordStatement() = 0;
    virtual void ResetRun() = 0;
    virtual int ExecuteObjectStatement() = 0;
    virtual int EvaluateObjectMember(Value& result) = 0;
    // Whether an extension keyword starts an output statement (its expression's text printed):
    // kNoOutput, else whether a line break follows the text. Compiled regions print for it.
    static constexpr int kNoOutput = -1;
    virtual int OutputStatementOf(int /*keywordId*/) const { return kNoOutput; }
    // An output statement's text printed, as the output pane shows it.
    virtual void PrintText(const std::string& text, bool lineBreakAfter) {
        view->OutputText(text, 1, 0, lineBreakAfter ? 1 : 0, 0);
    }
    // What reading `name . member` as an operand gives when no further word is read and nothing is
    // reported: the network variable the name finds (as FindObjectVariable finds it) and the
    // member's value. False, with nothing changed, for any other case: the reading takes it.
    virtual bool ObjectMemberOperand(std::string_view /*name*/, int /*member*/, int& /*variable*/,
                                     NumberOperand& /*value*/) {
        return false;
    }
    virtual void ClearObjectVariables(int executeFlag) = 0;
    virtual int SaveObjectStatement() = 0;
    virtual int LoadObjectStatement() = 0;

    ViewServices* View() const { return view; }

    // ----- fields (public: the extension, the views and the tests read them) -----
    int wavePlaying = 0;
    int execute = 0;
    int running = 0;
    std::string scope;

    // lexer
    int position = 0;
    int variableIndex = -1;
    TokenHistory history;        // where each word read starts and how long it is
    std::string scriptText;      // the text, followed by 100 NUL bytes
    int textLength = 0;
    std::string word;            // the text of the last token read
    int currentToken = -1;
    int objectKeywordId = 0;
    int objectVariableIndex = 0;
    // Changes whenever the extension's answers to FindObjectKeyword or FindObjectVariable may
    // change (its tables changed, or a new pass began): answers kept from an equal value hold.
    std::uint32_t objectNamesVersion = 1;

    void* ownerWindow = nullptr;
    int runState = kRunning;
    CDynaArray<SubroutineRecord> subroutines;
    std::string errorText;
    ViewServices* view;
    CDynaArray<Value> variables;
    CDynaArray<int> treePositions;
    std::vector<TreeItem> helpCategories;
    std::string caption = "Loriant Script";

    int nestingDepth = 0;


    // --- lexer-core public ---
    // Factor applied to the lexer's own waits (the 500 ms pause steps and the 2000 ms after an
    // unclosed comment): 1 normally; a fuzzer sets 0 so that no input can make it wait.
    double sleepScale = 1.0;
    // A run's loops, branches and called bodies are compiled (see CompiledRegions); a test turns
    // it off to compare with the word-by-word reading.
    bool compiledRegions = true;
    std::uint64_t CompiledStatements() const { return regions_.CompiledStatements(); }
    std::uint64_t StraightStatements() const { return regions_.StraightStatements(); }

private:
    // --- the reading's own state: only the interpreter's members (and the compiled regions) use it ---
    int inSubroutine = 0;  // inside a called body
    int returning = 0;     // an ExitSub is returning from it
    // main, for, then, else, while, do, call, sub
    int scopeCounters[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    enum ScopeCounter { kMain, kFor, kThen, kElse, kWhile, kDo, kCall, kSub };
    std::uint32_t idleColour = 0;
    bool idleColourKnown = false;
    CDynaArray<std::string> helpTreeItems;
    CDynaArray<KeywordRecord> keywords;  // the base keywords by code
    // --- builtins private ---
    // The last built-in value literal. A built-in value is evaluated once where the script uses it:
    // when the token is put back and read again before any further token (a condition reading its
    // first word twice), the re-read replays this literal instead of asking, reading or measuring
    // again. `historyIndex` is the literal's history entry (-1: nothing to replay); the entry after
    // it holds -1 until the next token is read, and any other keyword read clears `historyIndex`:
    // so a re-read is told from a later scan of the same text (a loop pass).
    struct BuiltinLiteral {
        int historyIndex = -1;
        int start = -1;
        int end = 0;
        int token = -1;
        int execute = 0;
        std::string text;
    };
    BuiltinLiteral lastBuiltinLiteral;
    // --- end builtins private ---

    // --- lexer-core private ---
    // The lexer's own steps and buffers.
    int SkipBlockComment();
    void SkipToEndOfLine();
    static bool IsWhitespaceChar(unsigned char c);
    static bool IsDelimiterChar(unsigned char c);
    static bool IsNumberText(const char* word, std::size_t length);
    void StripTatweel();
    void InitRunBuffers();
    void FreeRunBuffers();
    void RegisterKeywords();
    // What scanning from a text position gives (valid for the text of the last SetSource): the
    // whitespace skipped, the word's bounds, and its class, so that a position scanned again
    // (every loop pass, every call) costs no byte reading, keyword hashing or name hashing.
    struct ScanCacheEntry {
        int start = 0;                      // first byte of the word (after the whitespace)
        int end = 0;                        // position after the word
        std::int16_t kind = -15;            // keyword code (>= 0) or a kScan* value; kScanUnfilled: not yet scanned
        std::uint16_t strippedLength : 15 = 0;  // length of the word without 0xDC (below kWordLimit)
        // A keyword that is no comment and no built-in value, a number or a name: NextToken's flat path.
        std::uint16_t flat : 1 = 0;
        std::uint32_t stripped = 0xFFFFFFFFu;  // its offset in strippedWords_ (kNotStripped: the raw bytes)
        // The word's slot in the name index (-1 none) as of the index's generation nameGeneration.
        int nameSlot = -1;
        std::uint32_t nameGeneration = 0;
    };
    static constexpr int kScanEnd = -10;      // only whitespace up to the text's length
    static constexpr int kScanEmpty = -11;    // a NUL byte where a word should start
    static constexpr int kScanTooLong = -12;  // kWordLimit bytes or more
    static constexpr int kScanNumber = -13;
    static constexpr int kScanName = -14;     // a variable, an extension word or unknown
    static constexpr int kScanUnfilled = -15;
    static constexpr std::uint32_t kNotStripped = 0xFFFFFFFFu;
    std::vector<ScanCacheEntry> scanCache_;      // by text position, once the text is scanned
    static constexpr int kMaxCachedTextLength = 1 << 24;
    const char* cachedText_ = nullptr;           // the text the cache describes (scriptText's bytes)
    bool cacheRefused_ = false;                  // the text is read without a cache
    ScanCacheEntry scratchEntry_;                // what a text that is not cached scans to
    std::string strippedWords_;                  // words that held 0xDC, without it
    std::string scratchStripped_;                // the same for a text that is not cached
    int sourceLength_ = 0;                       // length of the text given to SetSource
    std::vector<ScanMark> commentMarks_;         // open block comments while one is skipped
    // The cached text position whose word `word` holds (-1: none). Everything else that writes
    // `word` sets it to -1.
    int wordHeldFrom_ = -1;
    // The last read was a keyword on the flat path: read again at once it gives the same token
    // and state, so an expression level may hand it to the level above instead of putting it back.
    bool lastReadRepeats_ = false;

    // The variables' names -> their records, so a lookup walks no table.
    NameIndex names_;
    // The tree positions table again, as a set (a check pass may declare many variables).
    std::vector<int> treePositionSorted_;

    bool ReportNestingTooDeep();
    ScanCacheEntry& ScanEntryAt(const char* text, int length, int from);
    ScanCacheEntry& FillCacheEntry(int from);
    bool StartScanCache();
    int FindVariableForEntry(ScanCacheEntry& entry);
    int FindVariableInSlot(int slot);
    void ComputeScanEntry(const char* text, int length, int from, ScanCacheEntry& entry, std::string& pool);
    // Steps 1-9 of reading a token; keyword set when the result is a base keyword's code.
    int ScanToken(const char* text, int length, bool insideComment, bool& keyword);
    int SkipBlockCommentIn(const char* text, int length);
    void ReportUnclosedComment();
    void SkipToEndOfLineIn(const char* text, int length);
    void WaitWhilePaused();
    void LexerSleep(long milliseconds);
    int PlainKeyword(int code);
    void TakeEntry(const ScanCacheEntry& entry, const char* text, bool cached);
    int ReadTokenFully(const char* text, int length, int raw);
    int ResolveName(ScanCacheEntry& entry);
    int ReadBuiltinValue(int code);
    bool TreePositionKnown(int textPosition) const;
    void AddTreePosition(int textPosition);
    void CloseDroppedFiles(int newLength);
    int PrescanFail(const std::string& text);
    // Subroutine bodies the check pass is inside (it does not enter one it is already checking).
    std::vector<int> subroutinesBeingChecked_;

    friend class LexerInternals;
    friend class CompiledRegions;
    friend class CompiledProgram;

    // --- what the compiled regions read and write (lexer.cpp) ---
    CompiledRegions regions_;
    // The scan cache describes the script text being read.
    bool ScanIsCached() const { return scriptText.data() == cachedText_ && textLength == sourceLength_; }
    // The cache entry of a position of the script text (scanned now if need be); null when uncached.
    const ScanCacheEntry* CachedEntryAt(int from);
    std::string_view CachedWordText(const ScanCacheEntry& entry) const;
    // The record a name read at this position names now, as a run's flat reading finds it; -1
    // when that reading would not find it without a lookup.
    int RecordNamedAt(int from) const {
        const ScanCacheEntry& entry = scanCache_[static_cast<std::size_t>(from)];
        return entry.nameGeneration == names_.Generation() ? names_.Newest(entry.nameSlot) : -1;
    }
    // A plain Integer or Float named at this position, or null.
    const Value* ScalarNumberNamedAt(int from) const {
        const int record = RecordNamedAt(from);
        if (record < 0) return nullptr;
        const Value& v = variables[record];
        return v.count == 1 && v.IsNumber() ? &v : nullptr;
    }
    // A plain variable that is no Matrix named at this position (an assignment's target), or -1.
    int AssignableRecordNamedAt(int from) const {
        const int record = RecordNamedAt(from);
        if (record < 0) return -1;
        const Value& v = variables[record];
        return v.count == 1 && v.type != kTypeMatrix ? record : -1;
    }
    // The word at a cached position read as the last one (and put back when putBack): the scan
    // as reading the words one by one leaves it, a name looked up as reading it does.
    void SettleWord(int from, bool putBack);
    // The keyword at a cached position read raw as the last word (a skip's closing word).
    void SettleRawWord(int from);
    // The compiled regions' only writes of the reader's state, each a step the reading itself takes.
    // The scan goes on from a text position.
    void MoveScanTo(int at) { position = at; }
    // A keyword has been read since the last built-in value: that value is not read again.
    void ForgetBuiltinLiteral() { lastBuiltinLiteral.historyIndex = -1; }
    // A built-in value read at a history entry, its keyword and arguments from start to end, left
    // this literal: read again at once (put back and read at the same entry), it is not evaluated.
    void KeepBuiltinLiteral(int entry, int start, int end, int token, const std::string& text);
    // Looked at before it is cleared: nearly always empty, and a store costs more than a look.
    void ClearErrorText() {
        if (!errorText.empty()) errorText.clear();
    }
    // The extension's answers for a name read that is no variable: its keyword, its network variable.
    void TakeExtensionKeyword(int id) { objectKeywordId = id; }
    void TakeExtensionVariable(int index) { objectVariableIndex = index; }
    // A called body is entered (the subroutine flag as it was returned), left, and its return done.
    int EnterCalledBody() {
        const int outer = inSubroutine;
        inSubroutine = 1;
        return outer;
    }
    void LeaveCalledBody(int outer) { inSubroutine = outer; }
    void EndReturn() { returning = 0; }

    // --- statements private ---
    // The one test for entering the compiled regions: a run hands them its blocks, loops and
    // skips; the check pass, and a run with them turned off, reads them.
    bool RegionsTakeOver() const { return execute && compiledRegions; }
    // The statements' readers, the commands and the object files' statements.
    int ExecuteAssignment(ElementRef target);
    int ExecuteDeclaration(int typeCode);
    int ExecuteIf(int doIt);
    int ExecuteFor(int doIt);
    int ExecuteWhile(int doIt);
    int ExecuteDoLoop(int doIt);
    int ExecuteCall(int doIt);
    int ExecuteSubroutineBody(int doIt);
    int SkipToNext();
    int SkipToWend();
    // A command statement whose keyword (code) has just been read; 1 success, 0 failure.
    int ExecuteCommand(int code);
    // True for the keyword codes that ExecuteCommand handles.
    static bool IsCommandCode(int code);
    int ExecuteSaveObject();
    int ExecuteLoadObject();
    int GetUpperBoundMinusOne(int record) const;
    int PrescanSubroutinesBool() { return PrescanSubroutines() ? 1 : 0; }
    // How one statement of a block ended (DispatchStatement's result).
    enum StatementEnd : int {
        kStatementFailed = 0,      // reported; every enclosing block fails
        kStatementDone = 1,        // go on after the statement
        kStatementClosesBlock = 2, // a word that ends this kind of block was read
        kStatementTextEnd = 3,     // the end of the text was read
        kStatementStrayAtEnd = 4,  // a stray last word was dropped (it is in the history)
        kStatementReturns = 5,     // ExitSub in a run: the body is left
    };
    // One statement from its first word; the block itself settles a separator (":" or ";").
    int DispatchStatement(int doIt, int kind, int braceFlag);
    // A block read word by word (ExecuteBlock hands a run's blocks to the compiled regions first).
    int ReadBlock(int doIt, int kind);
    // One statement of a block from its first word on (read here unless firstWordRead), and what
    // the block does after it: kBlockGoesOn, or the block's result.
    static constexpr int kBlockGoesOn = -1;
    int BlockStatement(int doIt, int kind, int braceFlag, const ScanMark& entry, int entryLength, bool firstWordRead);
    int AfterStatement(int kind, int braceFlag, const ScanMark& entry, int entryLength);
    void LeaveThenBranch();
    int ReadSkip(int closing, int& found);
    int DispatchOtherWord(int code);
    // The kinds of block a closing word ends (0 for any other word).
    static int KindsEndedBy(int code);
    int CloseBlockAtWord(int kind, int braceFlag, int entryLength);
    int EndBlockAtText(int kind, int braceFlag, const ScanMark& entry, int entryLength, bool strayDropped);
    // Top-level statements of a run are not cut: their declarations last for the whole run.
    void CutBlock(int kind, int entryLength) {
        if (kind != SingleStatement && variables.GetCount() != entryLength) CutVariables(entryLength);
    }
    // Raw words up to the closing word that matches, nested openings counted; 0 at the text's end.
    int SkipPastClosing(int opening, int closing);
    int ReadToElseOrEndif(int& found);
    // The skip to `closing` (Else for Else-or-Endif, Endif, Wend), kept where it was read before.
    int Skip(int closing, int& found);
    // Scope counters only grow; they wrap instead of overflowing in a run of billions of iterations.
    int NextScopeNumber(int counter) {
        scopeCounters[counter] = static_cast<int>(static_cast<unsigned>(scopeCounters[counter]) + 1u);
        return scopeCounters[counter];
    }
    int SkipRawToEndSub();
    int FindSubroutine(const std::string& name) const;
    mutable std::unordered_map<std::string, int> subroutineIndex_;  // name -> first record
    mutable int subroutinesIndexed_ = 0;                              // records taken into it
    bool EnterCalledBodyInCheck(int subroutine);
    int RunCalledBody(int doIt, int subroutine);
    int ReadForBound(double& number, const char* stringMessage);
    int StoreForStart(ElementRef variable, double start);
    // Steps the loop variable; 1 when the loop is finished (every pass of every For: inline).
    int StepForVariable(ElementRef element, double step, double end) {
        Value::Payload& variable = ElementValue(element);
        const int type = variables[element.record].type;
        double now = 0.0;
        if (type == kTypeInteger) {
            variable.integer = DoubleToInt32(static_cast<double>(variable.integer) + step);
            now = variable.integer;
        } else if (type == kTypeFloat) {
            variable.number += step;
            now = variable.number;
        } else {
            return 0;
        }
        return (step > 0 && now > end) || (step <= 0 && end > now);
    }
    int AssignScalar(ElementRef target, const Value& v);
    int ExecuteMatrixAssignment(ElementRef target);
    int ReadMatrixIndexValue(int& index);
    int DeclareOneName(int typeCode);
    int FailDeclarationOutOfMemory();
    // The check pass's Call budget (it follows every Call; bounded against call-graph blow-up),
    // whether the whole script is wrapped in braces, and the nested-skip stacks.
    int checkedCallEntries_ = 0;
    bool scriptBraced_ = false;
    std::vector<ScanMark> skipForMarks_;
    std::vector<unsigned char> skipIfStates_;
    // --- end statements private ---

    // --- expressions private ---
private:
    // The expression levels below ReadExpression, and the operands they read.
    // The word after an operand, read by one expression level for the next: `held` it is still
    // read (currentToken) and `mark` is where putting it back would leave the scan; else it has
    // been put back and the next level reads it itself.
    struct Lookahead {
        ScanMark mark;
        bool held = false;
    };
    int EvalAdditive(Value& result);
    int EvalMultiplicative(Value& result, Lookahead* next);
    int EvalPower(Value& result, Lookahead* next);
    int EndOfOperandFor(int token, Lookahead* next);
    void TakeLookahead(Lookahead& next);
    void PutBackLookahead(Lookahead& next);
    int EvalUnary(Value& result);
    int EvalParenthesis(Value& result);
    int EvalPrimary(Value& result);
    // 1 element, 2 row, 3 column, 4 whole matrix, 0 failure.
    int EvaluateMatrixOperand(Value& result, ElementRef matrix);
    int ParseMatrixIndex(int& row, int& col);
    ElementRef EvaluateArrayElement();
    void CopyElement(ElementRef e, Value& out) const { out.CopyElementFrom(variables[e.record], e.element); }
    int EvaluateBuiltinValue(int code, int* tokenOut);
    // The lexer answers an error of its own (an unclosed comment, a nesting limit met while a
    // built-in value is read) with a token that ends the expression; the error is already reported.
    bool LexerReportedError(int token) const {
        return token == token::kUnclosedComment || (token == token::kEnd && !errorText.empty());
    }
    // Reads a token; the expected-word rule unless it is `code`.
    int ExpectToken(int code);
    // A look-ahead token that is not the reader's own goes back (the end of the text left no
    // history entry and stays); 0 for an unclosed comment, which has been reported.
    int EndOfOperand(int token);
    // An Integer or Float passes; a String, Matrix or File is reported (they have no number).
    int RequireNumber(const Value& v);
    int FailMatrixMismatch();
    int RoomForJoinedText(const Value& left, const Value& right);
    bool OperandIsWrittenNumber(int first) const;
    // Reports the matrix access text that GetAt/SetAt left in the error text.
    int FailMatrixAccess();
    int CombineAdditive(int op, Value& left, const Value& right, const ScanMark& afterOperator);
    int CombineMultiplicative(int op, Value& left, const Value& right, const ScanMark& beforeOperator);
    int EvalStringLiteral(Value& result, int quote);
    int EvalVariableOperand(Value& result);
    int EvalRgb(Value& result);
    int EvalMathFunction(Value& result, int code);
    int EvalIntOrRnd(Value& result, int code);
    int CompareOperands(int op, const Value& a, const Value& b, int& result);
    int MatrixNumber(Value& result, ElementRef matrix, int row, int col);
    int MatrixColumnOrNumber(Value& result, ElementRef matrix, int col);
    int MatrixRowOrNumber(Value& result, ElementRef matrix, int row);
    int FillRandomElements(CMatrix& matrix, int integerOnly);
    int ReadMatrixLiteral(CMatrix& matrix, int rowFrom, int rowTo, int colFrom, int colTo, int integerOnly);
    int StoreLiteralElement(CMatrix& matrix, int row, int col, const Value& v, int integerOnly);
    int AssignMatrixFromValue(CMatrix& matrix, int rowFrom, int rowTo, int colFrom, int colTo, int integerOnly);
    // --- end expressions private ---
};

// One level of nesting (a block, a call, a parenthesised expression) for as long as it lives:
// the depth stays balanced on every way out.
class NestingLevel {
public:
    explicit NestingLevel(CTesselParser& parser) : parser_(parser), entered_(parser.EnterNesting()) {}
    ~NestingLevel() {
        if (entered_) parser_.LeaveNesting();
    }
    NestingLevel(const NestingLevel&) = delete;
    NestingLevel& operator=(const NestingLevel&) = delete;
    bool Entered() const { return entered_; }

private:
    CTesselParser& parser_;
    bool entered_;
};
