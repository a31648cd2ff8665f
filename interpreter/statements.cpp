// The statement layer: blocks, assignments, declarations, the control statements, and the
// skippers that pass over branches and loop bodies without executing them.
//
// Each statement is read from the token stream every time control passes over it, executed at
// once in a run (doIt 1) or only checked in the check pass (doIt 0). A run's loops, branches and
// called bodies are handed to the compiled regions, which call back into these readers for every
// statement they do not compile.
#include <climits>
#include <cstdint>
#include <string>

#include "interpreter/keyword_codes.h"
#include "base/matrix.h"
#include "interpreter/messages.h"
#include "interpreter/tessel_parser.h"
#include "interpreter/value.h"

namespace {

// Kinds whose end of text is an error, with their messages.
const char* EndOfTextMessage(int kind) {
    switch (kind) {
        case ForBody: return " Syntax Error : \"For\" without \"Next\".";
        case ThenBranch: return " Syntax Error : \"If\" without \"Endif\".";
        case ElseBranch: return " Syntax Error : \"Else\" without \"Endif\".";
        case WhileBody: return " Syntax Error : \"While\" without \"Wend\".";
        case DoBody: return " Syntax Error : \"Do\" without \"While\".";
        case SubroutineCheck: return " Syntax Error : \"Subroutin\" without \"EndSub\".";
        default: return nullptr;
    }
}

}  // namespace

// The block-ending words and the kinds of block they may end.
int CTesselParser::KindsEndedBy(int code) {
    switch (code) {
        case kw::kNext: return ForBody;
        case kw::kElse: return ThenBranch;
        case kw::kEndif: return ThenBranch | ElseBranch;
        case kw::kWend: return WhileBody;
        case kw::kEndSub: return CalledBody | SubroutineCheck | SingleStatement;
        default: return 0;
    }
}

namespace {

const char* MisplacedEndMessage(int code) {
    switch (code) {
        case kw::kNext: return " Syntax Error : \"Next\" without \"For\".";
        case kw::kElse: return " Syntax Error : \"Else\" without \"If\".";
        case kw::kEndif: return " Syntax Error : \"Endif\" without \"If\".";
        case kw::kWend: return " Syntax Error : \"Wend\" without \"While\".";
        default: return " Syntax Error : \"EndSub\" without \"Subroutin\".";
    }
}

int DeclaredType(int code) {
    switch (code) {
        case kw::kIntegerWord: return kTypeInteger;
        case kw::kFloatWord: return kTypeFloat;
        case kw::kStringWord: return kTypeString;
        case kw::kMatrixWord: return kTypeMatrix;
        case kw::kFileWord: return kTypeFile;
        default: return kTypeNone;
    }
}

// Pushes a named scope around a nested block and pops it on every way out.
class ScopeLevel {
public:
    // A run keeps no scope path (only the check pass uses it).
    ScopeLevel(CTesselParser& parser, const char* prefix, int number) : parser_(parser) {
        if (!parser.execute) suffix_ = parser.PushScope(prefix, number);
    }
    ~ScopeLevel() { parser_.PopScope(suffix_); }
    ScopeLevel(const ScopeLevel&) = delete;
    ScopeLevel& operator=(const ScopeLevel&) = delete;

private:
    CTesselParser& parser_;
    std::string suffix_;
};

}  // namespace

// ===== blocks =====

// One top-level statement of the run: its declarations last for the whole run.
int CTesselParser::ExecuteNextStatement() { return ExecuteBlock(1, SingleStatement); }

int CTesselParser::ExecuteBlock(int doIt, int kind) {
    if (doIt && RegionsTakeOver() && (kind & kRegionBlocks)) {
        const int result = regions_.RunBlock(*this, kind);
        if (result >= 0) return result;
    }
    return ReadBlock(doIt, kind);
}

int CTesselParser::ReadBlock(int doIt, int kind) {
    NestingLevel level(*this);
    if (!level.Entered()) return 0;
    const int entryLength = variables.GetCount();
    ScanMark entry;
    SavePosition(entry);
    if (kind == kBlockWholeScript) {
        // A new check pass: nothing is being checked and the Call budget is full again.
        subroutinesBeingChecked_.clear();
        checkedCallEntries_ = 0;
        scriptBraced_ = false;
    }

    int braceFlag = 0;
    // The first statement's word, when it would read back the same, is kept rather than read again.
    bool firstWordRead = false;
    ReadToken();
    if (currentToken == kw::kOpenBrace) {
        braceFlag = 1;
    } else if (currentToken == token::kEnd) {
        // Nothing follows the block's opening: the missing closing word is reported as for any
        // block that the text ends inside.
        return EndBlockAtText(kind, 0, entry, entryLength, false);
    } else if (lastReadRepeats_) {
        firstWordRead = true;
    } else {
        UngetToken();
    }
    if (kind == kBlockWholeScript) scriptBraced_ = braceFlag != 0;

    for (;;) {
        errorText.clear();
        const int result = BlockStatement(doIt, kind, braceFlag, entry, entryLength, firstWordRead);
        if (result != kBlockGoesOn) return result;
        firstWordRead = false;
    }
}

int CTesselParser::BlockStatement(int doIt, int kind, int braceFlag, const ScanMark& entry, int entryLength,
                                  bool firstWordRead) {
    if (!firstWordRead) ReadToken();
    // A separator is an empty statement: most statements are followed by one, so it is settled
    // here without the dispatch call.
    const bool separator = currentToken == kw::kColon || currentToken == kw::kSemicolon;
    switch (separator ? kStatementDone : DispatchStatement(doIt, kind, braceFlag)) {
        case kStatementFailed: return 0;
        case kStatementClosesBlock: return CloseBlockAtWord(kind, braceFlag, entryLength);
        case kStatementTextEnd: return EndBlockAtText(kind, braceFlag, entry, entryLength, false);
        case kStatementStrayAtEnd: return EndBlockAtText(kind, braceFlag, entry, entryLength, true);
        case kStatementReturns: CutBlock(kind, entryLength); return 1;
        default: break;
    }
    return AfterStatement(kind, braceFlag, entry, entryLength);
}

int CTesselParser::AfterStatement(int kind, int braceFlag, const ScanMark& entry, int entryLength) {
    // An error reported by a reader that then went on (an unclosed comment met mid-statement)
    // still fails the block: a reported error is never passed on as success.
    if (runState == kEndedByError) return 0;
    // ExitSub has left the body: every block between it and the Call ends here.
    if (returning && inSubroutine) {
        CutBlock(kind, entryLength);
        return 1;
    }
    if (currentToken == token::kEnd || runState != kRunning) {
        return EndBlockAtText(kind, braceFlag, entry, entryLength, false);
    }
    if (kind == SingleStatement) return 1;
    return kBlockGoesOn;
}

// A block-ending word was read: the brace rule, then the block ends.
int CTesselParser::CloseBlockAtWord(int kind, int braceFlag, int entryLength) {
    if (runState == kRunning && braceFlag) {
        UngetToken();
        UngetToken();
        ReadToken();
        if (currentToken != kw::kCloseBrace) return FailExpected(kw::kCloseBrace);
        ReadToken();  // the closing word again
    }
    CutBlock(kind, entryLength);
    return 1;
}

// The end of the text (or a run that is ending) reached inside a block.
int CTesselParser::EndBlockAtText(int kind, int braceFlag, const ScanMark& entry, int entryLength,
                                  bool strayDropped) {
    if (kind == SingleStatement) return 1;
    if (runState == kEndedByError) return 0;
    if (runState != kRunning) {
        CutBlock(kind, entryLength);
        return 1;
    }
    if (const char* message = EndOfTextMessage(kind)) {
        // Highlight the last word before the block: the end of its opening line.
        RestorePosition(entry);
        return FailWith(message);
    }
    if (braceFlag) {
        // The end of the text leaves no history entry, so the last word read is the one that must
        // be the closing brace (a dropped stray word is put back first).
        if (strayDropped) UngetToken();
        UngetToken();
        ReadToken();
        if (currentToken != kw::kCloseBrace) return FailExpected(kw::kCloseBrace);
        currentToken = token::kEnd;
    }
    CutBlock(kind, entryLength);
    return 1;
}


int CTesselParser::DispatchStatement(int doIt, int kind, int braceFlag) {
    const int code = currentToken;
    // A run's loop is compiled as a whole, its first word read.
    if (doIt && RegionsTakeOver() && (code == kw::kFor || code == kw::kDo || (code == kw::kWhile && kind != DoBody))) {
        const int result = regions_.RunLoopStatement(*this);
        if (result >= 0) return result ? kStatementDone : kStatementFailed;
    }
    switch (code) {
        case token::kVariable: {
            const ElementRef target = EvaluateArrayIndex();
            if (!target.Found()) return kStatementFailed;
            return ExecuteAssignment(target) ? kStatementDone : kStatementFailed;
        }
        case kw::kIntegerWord:
        case kw::kFloatWord:
        case kw::kStringWord:
        case kw::kMatrixWord:
        case kw::kFileWord: return ExecuteDeclaration(DeclaredType(code)) ? kStatementDone : kStatementFailed;
        case kw::kIf: return ExecuteIf(doIt) ? kStatementDone : kStatementFailed;
        case kw::kFor: return ExecuteFor(doIt) ? kStatementDone : kStatementFailed;
        case kw::kWhile:
            if (kind == DoBody) return kStatementClosesBlock;
            return ExecuteWhile(doIt) ? kStatementDone : kStatementFailed;
        case kw::kDo: return ExecuteDoLoop(doIt) ? kStatementDone : kStatementFailed;
        case kw::kSubroutin: {
            if (inSubroutine) return FailWith(" Syntax Error : \"Subroutin\" in \"Subroutin\" not allowed.");
            inSubroutine = 1;
            const int ok = ExecuteSubroutineBody(doIt);
            inSubroutine = 0;
            return ok ? kStatementDone : kStatementFailed;
        }
        case kw::kCall: return ExecuteCall(doIt) ? kStatementDone : kStatementFailed;
        case kw::kExitSub:
            if (!inSubroutine) return FailWith(" Syntax Error : \"ReturnSub\" without \"Subroutin\".");
            if (!doIt) return kStatementDone;
            if (!SkipRawToEndSub()) return kStatementFailed;
            returning = 1;
            return kStatementReturns;
        case kw::kExit:
            if (execute) runState = kEndedByExit;
            return kStatementDone;
        case kw::kStopProgram:
            if (execute) runState = kEndedByStopProgram;
            return kStatementDone;
        case kw::kCloseBrace:
            // In a braced block it is tested by the brace rule at the block's end. A run reads a
            // braced script one top-level statement at a time, so there its braces are accepted
            // as the check pass accepted them.
            if (braceFlag || (kind == SingleStatement && scriptBraced_)) return kStatementDone;
            return FailWith(" Syntax Error : \"End_Block\" without \"Start_Block\".");
        case token::kEnd: return kStatementTextEnd;
        case token::kUnclosedComment: return kStatementFailed;  // reported by the lexer
        default: break;
    }
    if (const int kinds = KindsEndedBy(code)) {
        if (kinds & kind) return kStatementClosesBlock;
        return FailWith(MisplacedEndMessage(code));
    }
    return DispatchOtherWord(code);
}

// Commands, object files, the network extension's statements, and words that start no statement.
int CTesselParser::DispatchOtherWord(int code) {
    if (code == token::kObjectKeyword) return ExecuteObjectKeywordStatement() ? kStatementDone : kStatementFailed;
    if (code == token::kObjectVariable) return ExecuteObjectStatement() ? kStatementDone : kStatementFailed;
    if (code == kw::kSaveObject) return ExecuteSaveObject() ? kStatementDone : kStatementFailed;
    if (code == kw::kLoadObject) return ExecuteLoadObject() ? kStatementDone : kStatementFailed;
    if (IsCommandCode(code)) return ExecuteCommand(code) ? kStatementDone : kStatementFailed;

    // A stray word: dropped when it is the last word of the text, an error otherwise.
    ScanMark afterWord;
    SavePosition(afterWord);
    ReadToken();
    if (currentToken == token::kEnd) return kStatementStrayAtEnd;
    if (currentToken == token::kUnclosedComment) return kStatementFailed;
    RestorePosition(afterWord);
    currentToken = code;
    return FailWith(code == token::kUnknown ? " Syntax Error : Unknown word." : " Syntax Error : The word does not mean here.");
}

// ===== declarations and assignments =====

int CTesselParser::ExecuteDeclaration(int typeCode) {
    for (;;) {
        if (!DeclareOneName(typeCode)) return 0;
        ReadToken();
        if (currentToken != kw::kComma) {
            StepBackUnlessEnd();
            return 1;
        }
    }
}

// One name of a declaration, with its matrix sizes and array count.
int CTesselParser::FailDeclarationOutOfMemory() { return FailWith(DynaArrayOutOfMemoryText(variables.GetName())); }

int CTesselParser::DeclareOneName(int typeCode) {
    ReadToken();
    if (currentToken != token::kUnknown && currentToken != token::kVariable) {
        return FailWith(message::kKnownWordsCannotBeVariables);
    }
    const std::string name = word;
    // The tree lists the name: the sizes, the count and a look-ahead over comments come after it.
    const WordRange nameRange = LastWordRange();
    int rows = 0;
    int cols = 0;
    if (typeCode == kTypeMatrix && !ParseMatrixIndex(rows, cols)) return 0;

    ReadToken();
    if (currentToken != kw::kOpenBracket) {
        StepBackUnlessEnd();
        if (FindVariable(name) >= 0) return FailWith(message::kVariableRedefinition);
        return DeclareVariable(name, typeCode, 1, rows, cols, nameRange) ? 1 : FailDeclarationOutOfMemory();
    }
    ScanMark afterBracket;
    Value count;
    if (!ReadIntegerBound(count, afterBracket)) return 0;
    if (FindVariable(name) >= 0) return FailWith(message::kVariableRedefinition);
    if (!DeclareVariable(name, typeCode, count.value.integer, rows, cols, nameRange)) return FailDeclarationOutOfMemory();
    ReadToken();
    if (currentToken != kw::kCloseBracket) {
        RestorePosition(afterBracket);
        return FailExpected(kw::kCloseBracket);
    }
    return 1;
}

int CTesselParser::ExecuteAssignment(ElementRef target) {
    if (variables[target.record].type == kTypeMatrix) return ExecuteMatrixAssignment(target);
    ReadToken();
    if (currentToken != kw::kEquals) return FailExpected(kw::kEquals);
    Value v;
    if (!ReadExpression2(v)) return 0;
    return AssignScalar(target, v);
}

// Carried out in the check pass as well, with the check pass's values.
int CTesselParser::AssignScalar(ElementRef element, const Value& v) {
    Value::Payload& target = ElementValue(element);
    if (v.type == kTypeString) {
        AssignTextToSlot(target, variables[element.record].type, v.Text());
        return 1;
    }
    switch (variables[element.record].type) {
        case kTypeInteger:
            if (v.type == kTypeInteger) target.integer = v.value.integer;
            else if (v.type == kTypeFloat) target.integer = DoubleToInt32(v.value.number);
            break;
        case kTypeFloat:
            if (v.type == kTypeInteger) target.number = v.value.integer;
            else if (v.type == kTypeFloat) target.number = v.value.number;
            break;
        case kTypeString:
            // A Matrix becomes its matrix text, as wherever a value becomes text; a File has no
            // text and leaves the String unchanged.
            if (v.type == kTypeInteger || v.type == kTypeFloat || v.type == kTypeMatrix) {
                Value::SetSlotText(target, ValueToText(v, execute != 0));
            }
            break;
        default: break;  // File, or a record without a type: unchanged
    }
    return 1;
}

// An Integer index expression inside brackets, the `[` already read; then `]`.
int CTesselParser::ReadMatrixIndexValue(int& index) {
    return ReadIntegerExpression(index) && Expect(kw::kCloseBracket);
}

// m = ..., m[i] = ... (row i) or m[i][j] = ... (one element); script indexes count from 1.
int CTesselParser::ExecuteMatrixAssignment(ElementRef target) {
    int rows = 0;
    int cols = 0;
    if (CMatrix* m = ElementValue(target).matrix) m->GetSize(rows, cols);
    int rowFrom = 0;
    int rowTo = rows;
    int colFrom = 0;
    int colTo = cols;

    ReadToken();
    if (currentToken != kw::kOpenBracket) {
        if (currentToken != kw::kEquals) return FailExpected(kw::kEquals);
    } else {
        int row = 0;
        if (!ReadMatrixIndexValue(row)) return 0;
        // INT_MIN has no predecessor; it stays a one-row region outside every matrix.
        rowFrom = row == INT_MIN ? INT_MIN : row - 1;
        rowTo = rowFrom + 1;
        ScanMark afterRow;
        SavePosition(afterRow);
        ReadToken();
        if (currentToken == kw::kOpenBracket) {
            int col = 0;
            if (!ReadMatrixIndexValue(col)) return 0;
            colFrom = col == INT_MIN ? INT_MIN : col - 1;
            colTo = colFrom + 1;
        } else {
            RestorePosition(afterRow);
        }
        ReadToken();
        if (currentToken != kw::kEquals) return FailExpected(kw::kEquals);
    }
    if (!execute) return ParseBracketList();
    CMatrix* matrix = ElementValue(target).matrix;
    if (!matrix) return 1;
    return AssignMatrix(*matrix, rowFrom, rowTo, colFrom, colTo, 0);
}

// ===== If =====

int CTesselParser::ExecuteIf(int doIt) {
    int condition = 0;
    if (!EvaluateCondition(condition)) return 0;
    ScanMark afterCondition;
    SavePosition(afterCondition);

    // The check pass takes both branches: first as if true, then as if false.
    const int passes = doIt ? 1 : 2;
    for (int pass = 0; pass < passes; ++pass) {
        const bool taken = doIt ? condition != 0 : pass == 0;
        RestorePosition(afterCondition);
        ReadToken();
        if (currentToken != kw::kThen) return FailExpected(kw::kThen);
        if (taken) {
            {
                ScopeLevel scope(*this, "then", NextScopeNumber(kThen));
                if (!ExecuteBlock(doIt, ThenBranch)) return 0;
            }
            if (returning) return 1;
            LeaveThenBranch();
        } else {
            int foundElse = 0;
            SkipToElseOrEndif(&foundElse);
            if (foundElse) {
                ScopeLevel scope(*this, "else", NextScopeNumber(kElse));
                if (!ExecuteBlock(doIt, ElseBranch)) return 0;
            }
        }
    }
    return 1;
}

// The word that ended the Then branch is read again; after Else the Else branch is passed over.
void CTesselParser::LeaveThenBranch() {
    if (currentToken != token::kEnd) {
        UngetToken();
        ReadToken();
    }
    if (currentToken == kw::kElse) SkipToEndif();
}

// ===== For =====

// A For start, end or step: Integer or Float as a double. A String has no number, and neither
// has a Matrix or File value: both are refused with the String's message.
int CTesselParser::ReadForBound(double& number, const char* stringMessage) {
    Value v;
    if (!ReadExpression2(v)) return 0;
    if (!v.IsNumber()) return FailWith(stringMessage);
    number = v.AsDouble();
    return 1;
}

int CTesselParser::StoreForStart(ElementRef element, double start) {
    Value::Payload& variable = ElementValue(element);
    const int type = variables[element.record].type;
    if (type == kTypeInteger) variable.integer = DoubleToInt32(start);
    else if (type == kTypeFloat) variable.number = start;
    return 1;
}

int CTesselParser::ExecuteFor(int doIt) {
    static const char* const kForStrings = " Syntax Error : Can not Execute \"For\" with STRINGS.";
    ReadToken();
    if (currentToken != token::kVariable) return FailWith(message::kUnknownVariable);
    const ElementRef record = EvaluateArrayIndex();
    if (!record.Found()) return 0;
    // A loop variable that is no number could never be stepped, so the loop could never finish.
    if (!variables[record.record].IsNumber()) return FailWith(kForStrings);

    ReadToken();
    if (currentToken != kw::kEquals) return FailExpected(kw::kEquals);
    double start = 0.0;
    if (!ReadForBound(start, kForStrings)) return 0;
    StoreForStart(record, start);

    ReadToken();
    if (currentToken != kw::kTo) return FailExpected(kw::kTo);
    double end = 0.0;
    if (!ReadForBound(end, kForStrings)) return 0;

    double step = 1.0;
    ReadToken();
    if (currentToken == kw::kStep) {
        if (!ReadForBound(step, message::kStringsNotAllowed)) return 0;
        if (doIt && step == 0.0) return FailWith(" Syntax Error : Can not Execute \"For\" with \"Step\" = 0.");
    } else {
        StepBackUnlessEnd();
    }

    ScanMark header;
    SavePosition(header);
    if ((step > 0 && start > end) || (step <= 0 && end > start)) return SkipToNext();

    for (;;) {
        RestorePosition(header);
        {
            ScopeLevel scope(*this, "for", NextScopeNumber(kFor));
            if (!ExecuteBlock(doIt, ForBody)) return 0;
        }
        if (returning) return 1;
        const int finished = StepForVariable(record, step, end);
        if (finished || !doIt || runState != kRunning) return 1;
    }
}

// ===== While and Do =====

int CTesselParser::ExecuteWhile(int doIt) {
    ScanMark beforeCondition;
    SavePosition(beforeCondition);
    for (;;) {
        RestorePosition(beforeCondition);
        int condition = 0;
        if (!EvaluateCondition(condition)) return 0;
        if (!doIt && runState == kRunning) condition = 1;  // the check pass reads the body once
        if (!condition) {
            SkipToWend();
            return 1;
        }
        {
            ScopeLevel scope(*this, "while", NextScopeNumber(kWhile));
            if (!ExecuteBlock(doIt, WhileBody)) return 0;
        }
        if (returning || !doIt || runState != kRunning) return 1;
    }
}

int CTesselParser::ExecuteDoLoop(int doIt) {
    ScanMark afterDo;
    SavePosition(afterDo);
    for (;;) {
        RestorePosition(afterDo);
        {
            ScopeLevel scope(*this, "do", NextScopeNumber(kDo));
            if (!ExecuteBlock(doIt, DoBody)) return 0;
        }
        if (returning) return 1;
        int condition = 0;
        if (runState == kRunning && !EvaluateCondition(condition)) return 0;
        if (!condition || !doIt || runState != kRunning) return 1;
    }
}

// ===== subroutines =====

// Passes over the rest of a subroutine body up to and including its EndSub (or the text's end).
int CTesselParser::SkipRawToEndSub() {
    for (;;) {
        ReadToken(1);
        if (currentToken == kw::kEndSub || currentToken == token::kEnd) return 1;
        if (currentToken == token::kUnclosedComment) return 0;  // reported by the lexer
    }
}

// The first record of that name, as a scan from the table's start finds it, through a hash of the
// names. The index follows the table: records added since are taken in (a name already there
// keeps its first record); a table that shrank, or a record renamed in place, is indexed anew.
int CTesselParser::FindSubroutine(const std::string& name) const {
    const int count = subroutines.GetCount();
    if (count < subroutinesIndexed_) {
        subroutineIndex_.clear();
        subroutinesIndexed_ = 0;
    }
    for (; subroutinesIndexed_ < count; ++subroutinesIndexed_)
        subroutineIndex_.emplace(subroutines[subroutinesIndexed_].name, subroutinesIndexed_);
    const auto found = subroutineIndex_.find(name);
    if (found == subroutineIndex_.end()) return -1;
    if (subroutines[found->second].name == name) return found->second;
    subroutinesIndexed_ = count + 1;  // stale: the next look-up starts over
    return FindSubroutine(name);
}

int CTesselParser::ExecuteSubroutineBody(int doIt) {
    if (doIt) return SkipRawToEndSub();  // a subroutine runs only through Call

    ReadToken();  // the name
    const int subroutine = FindSubroutine(word);
    if (subroutine >= 0) subroutinesBeingChecked_.push_back(subroutine);
    int ok = 0;
    {
        ScopeLevel scope(*this, "sub", NextScopeNumber(kSub));
        ok = ExecuteBlock(0, SubroutineCheck);
    }
    if (subroutine >= 0 && !subroutinesBeingChecked_.empty()) subroutinesBeingChecked_.pop_back();
    return ok;
}

// The check pass follows every Call into the body, except into a body it is already checking
// (a recursive call would be followed without end) and once its budget of followed calls is spent
// (calls that fan out through many subroutines would otherwise take exponential time).
bool CTesselParser::EnterCalledBodyInCheck(int subroutine) {
    static constexpr int kCheckedCallBudget = 20000;
    for (int checking : subroutinesBeingChecked_) {
        if (checking == subroutine) return false;
    }
    if (checkedCallEntries_ >= kCheckedCallBudget) return false;
    ++checkedCallEntries_;
    return true;
}

int CTesselParser::RunCalledBody(int doIt, int subroutine) {
    const SubroutineRecord& target = subroutines[subroutine];
    RestorePosition(ScanMark{target.position, target.tokenCount});
    const int outerInSubroutine = inSubroutine;
    inSubroutine = 1;
    if (!doIt) subroutinesBeingChecked_.push_back(subroutine);
    int ok = 0;
    {
        ScopeLevel scope(*this, "call", NextScopeNumber(kCall));
        ok = ExecuteBlock(doIt, CalledBody);
    }
    if (!doIt && !subroutinesBeingChecked_.empty()) subroutinesBeingChecked_.pop_back();
    inSubroutine = outerInSubroutine;
    return ok;
}

int CTesselParser::ExecuteCall(int doIt) {
    NestingLevel level(*this);
    if (!level.Entered()) return 0;
    ReadToken();
    ScanMark afterName;
    SavePosition(afterName);
    const int subroutine = FindSubroutine(word);
    if (subroutine < 0) return FailWith(" Syntax Error : Call to UNKNOWN subroutin.");
    if (!doIt && !EnterCalledBodyInCheck(subroutine)) return 1;
    if (!RunCalledBody(doIt, subroutine)) return 0;
    returning = 0;
    RestorePosition(afterName);
    return 1;
}

// ===== skippers (raw reading: built-in values in skipped text are not evaluated) =====
// Nested openings are counted by word. The nesting is kept in counters and small stacks rather
// than in recursion, so deeply nested skipped text cannot exhaust the thread's stack.

// A skip reads the same words wherever it starts at the same place in a run: the compiled regions
// keep them (the lookups of the names it passes are made again).
int CTesselParser::Skip(int closing, int& found) {
    found = 0;
    if (RegionsTakeOver()) return regions_.Skip(*this, closing, found);
    return ReadSkip(closing, found);
}

int CTesselParser::ReadSkip(int closing, int& found) {
    return closing == kw::kElse    ? ReadToElseOrEndif(found)
           : closing == kw::kEndif ? SkipPastClosing(kw::kIf, kw::kEndif)
                                   : SkipPastClosing(kw::kWhile, kw::kWend);
}

int CTesselParser::SkipToElseOrEndif(int* foundElse) {
    int found = 0;
    const int result = Skip(kw::kElse, found);
    if (foundElse) *foundElse = found;
    return result;
}

int CTesselParser::ReadToElseOrEndif(int& found) {
    // One entry per nested If being passed over: 0 in its first branch, 1 in its Else branch.
    skipIfStates_.clear();
    for (;;) {
        ReadToken(1);
        switch (currentToken) {
            case kw::kIf: skipIfStates_.push_back(0); break;
            case kw::kElse:
                if (skipIfStates_.empty()) {
                    found = 1;
                    return 1;
                }
                if (skipIfStates_.back() == 0) skipIfStates_.back() = 1;
                else skipIfStates_.pop_back();
                break;
            case kw::kEndif:
                if (skipIfStates_.empty()) return 1;
                skipIfStates_.pop_back();
                break;
            case token::kEnd:
            case token::kUnclosedComment: return 0;
            default: break;
        }
    }
}

int CTesselParser::SkipToEndif() {
    int found = 0;
    return Skip(kw::kEndif, found);
}

int CTesselParser::SkipToWend() {
    int found = 0;
    return Skip(kw::kWend, found);
}

int CTesselParser::SkipPastClosing(int opening, int closing) {
    int depth = 0;
    for (;;) {
        ReadToken(1);
        if (currentToken == closing) {
            if (depth == 0) return 1;
            --depth;
        } else if (currentToken == opening) {
            ++depth;
        } else if (currentToken == token::kEnd || currentToken == token::kUnclosedComment) {
            return 0;
        }
    }
}

int CTesselParser::SkipToNext() {
    // The mark of every For being passed over: an unclosed one highlights the innermost.
    skipForMarks_.clear();
    ScanMark mark;
    SavePosition(mark);
    skipForMarks_.push_back(mark);
    for (;;) {
        ReadToken(1);
        if (currentToken == kw::kNext) {
            skipForMarks_.pop_back();
            if (skipForMarks_.empty()) return 1;
        } else if (currentToken == kw::kFor) {
            SavePosition(mark);
            skipForMarks_.push_back(mark);
        } else if (currentToken == token::kUnclosedComment) {
            return 0;
        } else if (currentToken == token::kEnd) {
            RestorePosition(skipForMarks_.back());
            return FailWith(" Syntax Error : \"For\" without \"Next\".");
        }
    }
}
