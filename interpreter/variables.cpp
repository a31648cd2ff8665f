// The interpreter object as a whole (construction, destruction, reset between passes) and the
// tables that hold a script's state: variables, subroutines, scope paths.
//
// Variables live in one table in declaration order, an array being one record that holds its
// elements. Lookup is newest first. A hash index of the
// first records by name gives exactly that answer without walking the table; it stays true
// because the table only grows through AppendVariable and only shrinks through CutVariables.
#include <algorithm>
#include <cstdio>

#include "interpreter/keyword_codes.h"
#include "base/matrix.h"
#include "interpreter/tessel_parser.h"
#include "platform/crt_file.h"
#include "platform/memory_budget.h"

namespace {

const char kArrayBoundNotInteger[] = " Syntax Error : Array Bound Must Be INTEGERS.";
const char kArrayBoundOutOfRange[] = " Runtime Error : Array Bound OUT OF RANGE.";
const char kKnownWordAsSubroutine[] = " Syntax Error : Can not declare KNOWN words as SUBROUTIN.";
const char kSubroutineRedefinition[] = " Syntax Error : SUBROUTIN Redefinition.";
const char kEndSubWithoutSubroutine[] = " Syntax Error : \"EndSub\" without \"Subroutin\".";
const char kExitSubWithoutSubroutine[] = " Syntax Error : \"Return\" without \"Subroutin\".";
const char kEndSubNotFound[] = " Syntax Error : \"EndSub\" not found in SUBROUTIN declaration.";

bool StartsWith(const std::string& text, const std::string& prefix) {
    return prefix.size() <= text.size() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

CTesselParser::CTesselParser(ViewServices* ownerView)
    : ParserThread(ownerView),
      subroutines(200, "Tessel Subroutins"),
      view(ownerView),
      variables(50000, "Tessel Variables"),
      treePositions(200, "Tessel Add To Tree Pos"),
      helpTreeItems(324, "Tessel Help Tree Items"),
      keywords(100, "Tessel Tokens") {
    ownerWindow = view ? view->OwnerWindow() : nullptr;
    InitRunBuffers();
    RegisterKeywords();
}

CTesselParser::~CTesselParser() {
    WaitFinished();  // never destroy the object under its own running worker
    FreeRunBuffers();
}

void CTesselParser::RegisterKeywords() {
    keywords.RemoveAll();
    for (const KeywordRecord& row : BaseKeywordCatalogue()) keywords.Add(row);
}

// The base "Help" branch; the ten item handles stay for an extension's override to extend.
void CTesselParser::BuildHelpTree(HelpTreeTarget& tree) {
    const HelpTreeItems items = ::BuildHelpTree(
        tree, std::span<const KeywordRecord>(keywords.GetData(), static_cast<std::size_t>(keywords.GetCount())));
    helpCategories.assign({items.help, items.Category(kCategoryTypes), items.Category(kCategoryOperators),
                           items.Category(kCategoryKeywords), items.Category(kCategoryCommands),
                           items.Category(kCategoryMath), items.Category(kCategoryInterface),
                           items.Category(kCategoryFile), items.Category(kCategoryColors),
                           items.Category(kCategoryDialogs)});
}

void CTesselParser::FreeRunBuffers() {
    SetSource(std::string());
    scriptText.clear();
    scriptText.shrink_to_fit();
    history.Free();
    std::string().swap(word);
    wordHeldFrom_ = -1;
    CutVariables(0);
    variables.RemoveAll();
}

void CTesselParser::ResetBaseRunState() {
    ++objectNamesVersion;
    position = 0;
    history.Clear();
    currentToken = -1;
    variableIndex = -1;
    inSubroutine = 0;
    returning = 0;
    wavePlaying = 0;
    nestingDepth = 0;
    scope.clear();
    treePositions.RemoveAll();
    treePositionSorted_.clear();
    CutVariables(0);
    variables.Empty();
    names_.ClearRecords();
    variables.SetGrowBy(kDefaultVariableStep);
}

// ---------- lookup ----------

int CTesselParser::FindVariable(const char* name, std::size_t length) {
    return FindVariableInSlot(names_.Find(name, length));
}

int CTesselParser::FindVariableInSlot(int slot) {
    if (slot < 0 || execute) return names_.Newest(slot);
    // The check pass sees a variable only inside the scope it was declared in.
    const std::vector<int>& records = names_.At(slot).records;
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        if (StartsWith(scope, variables[*it].scope)) return *it;
    }
    return -1;
}

// The lexer's lookup: the word's slot is remembered with the scanned position, and found again
// only when slots have been made or moved since.
int CTesselParser::FindVariableForEntry(ScanCacheEntry& entry) {
    if (entry.nameGeneration != names_.Generation()) {
        entry.nameSlot = names_.Find(word.data(), word.size());
        entry.nameGeneration = names_.Generation();
    }
    return FindVariableInSlot(entry.nameSlot);
}

bool CTesselParser::AppendVariable(const Value& record) {
    const int at = variables.GetCount();
    if (!variables.Add(record)) return false;
    names_.Add(record.name, at);
    return true;
}

std::vector<Value::Payload*> CTesselParser::OpenFileSlots(int from, int to) {
    std::vector<Value::Payload*> slots;
    for (int i = from; i < to; ++i) {
        Value& v = variables[i];
        if (v.type != kTypeFile) continue;
        for (int k = 1; k <= (v.elements != nullptr ? v.count : 1); ++k) {
            if (v.Element(k).file != nullptr) slots.push_back(&v.Element(k));
        }
    }
    return slots;
}

void CTesselParser::CloseDroppedFiles(int newLength) {
    const std::vector<Value::Payload*> dropped = OpenFileSlots(newLength, variables.GetCount());
    if (dropped.empty()) return;
    const std::vector<Value::Payload*> kept = OpenFileSlots(0, newLength);
    for (Value::Payload* slot : dropped) {
        crt::CrtFile* file = slot->file;
        if (file == nullptr) continue;  // let go of with an earlier one
        const bool shared =
            std::any_of(kept.begin(), kept.end(), [file](const Value::Payload* k) { return k->file == file; });
        if (!shared) {
            if (!file->Close()) LoseWrittenData();
            delete file;
        }
        // Every dropped element that held it lets go (a closed handle must not be seen twice).
        for (Value::Payload* other : dropped)
            if (other->file == file) other->file = nullptr;
    }
}

void CTesselParser::CutVariables(int newLength) {
    const int count = variables.GetCount();
    newLength = std::clamp(newLength, 0, count);
    if (newLength == count) return;
    CloseDroppedFiles(newLength);
    for (int i = count - 1; i >= newLength; --i) {
        Value& v = variables[i];
        names_.DropFrom(v.name, newLength);
        // Free strings, matrices and elements now, not when the slot is reused.
        v.FreeElements();
        v.ClearValue();
    }
    variables.SetSize(newLength);
    if (newLength == 0) names_.ClearRecords();
}

// ---------- declarations ----------

bool CTesselParser::TreePositionKnown(int textPosition) const {
    return std::binary_search(treePositionSorted_.begin(), treePositionSorted_.end(), textPosition);
}

void CTesselParser::AddTreePosition(int textPosition) {
    treePositions.Add(textPosition);
    treePositionSorted_.insert(
        std::upper_bound(treePositionSorted_.begin(), treePositionSorted_.end(), textPosition), textPosition);
}

namespace {

// What one element of a declaration costs: its 8-byte slot and what its value owns, counted
// twice as the records per element were, so that one declaration leaves the run as much again.
std::uint64_t ElementBytes(int type, int rows, int cols) {
    std::uint64_t bytes = 2 * sizeof(Value::Payload);
    if (type == kTypeString) bytes += 2 * sizeof(std::string);
    if (type == kTypeMatrix) {
        bytes += sizeof(CMatrix);
        if (rows > 0 && cols > 0) bytes += static_cast<std::uint64_t>(rows) * static_cast<std::uint64_t>(cols) * sizeof(double);
    }
    return bytes;
}

}  // namespace

bool CTesselParser::DeclareVariable(const std::string& name, int type, int count, int rows, int cols,
                                    WordRange treeRange) {
    if (count < 1 || FindVariable(name) >= 0) return true;
    // A declaration that cannot fit is refused before it takes anything.
    if (!crt::FitsInMemory(static_cast<std::uint64_t>(count), ElementBytes(type, rows, cols))) {
        ShowDynaArrayOutOfMemory(variables.GetName());
        return false;
    }
    const int first = variables.GetCount();
    Value record;
    record.name = name;
    record.count = count;
    record.scope = scope;
    switch (type) {
        case kTypeInteger: record.SetInteger(0); break;
        case kTypeFloat: record.SetFloat(0.0); break;
        case kTypeString: record.SetString(std::string()); break;
        case kTypeMatrix: record.SetMatrix(new CMatrix(rows, cols, name)); break;
        case kTypeFile: record.SetFile(nullptr); break;
        default: record.type = type; break;
    }
    // The table has shown its out-of-memory message when it cannot take the record.
    if (!AppendVariable(record)) return false;
    if (!variables[first].MakeElements(rows, cols)) {
        // No part of the array stays.
        CutVariables(first);
        ShowDynaArrayOutOfMemory(variables.GetName());
        return false;
    }
    if (!execute && !TreePositionKnown(position)) {
        AddTreePosition(position);
        view->AddVariableToTree(variables[first], count, treeRange.start, treeRange.length);
    }
    return true;
}

int CTesselParser::GetUpperBoundMinusOne(int record) const {
    if (record < 0 || record >= variables.GetCount()) return -1;
    return variables[record].count - 1;
}

ElementRef CTesselParser::EvaluateArrayElement() {
    const int v = variableIndex;
    if (v < 0 || v >= variables.GetCount()) return {};
    const int n = variables[v].count;
    if (n == 1) return {v, 1};

    const int k = ReadElementIndex(n);
    return k > 0 ? ElementRef{v, k} : ElementRef{};
}

int CTesselParser::ReadIntegerBound(Value& bound, ScanMark& afterBracket) {
    SavePosition(afterBracket);
    if (!ReadExpression2(bound)) return 0;
    if (bound.type == kTypeInteger) return 1;
    RestorePosition(afterBracket);
    return FailWith(kArrayBoundNotInteger);
}

int CTesselParser::ReadElementIndex(int count) {
    ScanMark beforeBracket;
    SavePosition(beforeBracket);
    if (ReadToken() != kw::kOpenBracket) {
        RestorePosition(beforeBracket);
        return FailExpected(kw::kOpenBracket);
    }
    ScanMark afterBracket;
    Value index;
    if (!ReadIntegerBound(index, afterBracket)) return 0;
    const long long k = execute ? index.value.integer : 1;
    if (k < 1 || k > count) {
        RestorePosition(afterBracket);
        char numbers[96];
        if (k < 1)
            std::snprintf(numbers, sizeof numbers, "   :  %lld < 1 (L.B) ", k);
        else
            std::snprintf(numbers, sizeof numbers, "   :  %lld > %d (U.B)) ", k, count);
        return FailWith(std::string(kArrayBoundOutOfRange) + numbers);
    }
    if (ReadToken() != kw::kCloseBracket) {
        RestorePosition(afterBracket);
        return FailExpected(kw::kCloseBracket);
    }
    return static_cast<int>(k);
}

// ---------- scope paths ----------

std::string CTesselParser::PushScope(const char* prefix, int counter) {
    if (execute) return std::string();
    std::string suffix = std::string(prefix) + std::to_string(counter);
    scope += suffix;
    return suffix;
}

void CTesselParser::PopScope(const std::string& suffix) {
    if (execute) return;
    std::size_t removed = 0;
    while (removed < suffix.size() && !scope.empty() && scope.back() == suffix[suffix.size() - 1 - removed]) {
        scope.pop_back();
        ++removed;
    }
}

// ---------- subroutine pre-scan ----------

int CTesselParser::PrescanFail(const std::string& text) {
    FailWith(text);
    return 0;
}

int CTesselParser::PrescanSubroutines() {
    ResetRun();
    subroutines.RemoveAll();
    bool inside = false;
    ScanMark lastSubroutine;
    for (;;) {
        const int code = ReadToken(1);
        if (code == kw::kSubroutin) {
            if (ReadToken(0) != token::kUnknown) return PrescanFail(kKnownWordAsSubroutine);
            if (FindSubroutine(word) >= 0) return PrescanFail(kSubroutineRedefinition);
            SavePosition(lastSubroutine);
            SubroutineRecord record;
            record.position = lastSubroutine.position;
            record.tokenCount = lastSubroutine.tokenCount;
            record.name = word;
            subroutines.Add(record);
            inside = true;
            if (!execute && !TreePositionKnown(position)) {
                AddTreePosition(position);
                view->AddTreeItem(word, 6, nullptr, LastTokenStart(), LastTokenLength());
            }
        } else if (code == kw::kEndSub) {
            if (!inside) return PrescanFail(kEndSubWithoutSubroutine);
            inside = false;
        } else if (code == kw::kExitSub) {
            if (!inside) return PrescanFail(kExitSubWithoutSubroutine);
        } else if (code == token::kUnclosedComment) {
            return 0;
        } else if (code == token::kEnd) {
            // A stop, or an error the lexer reported (a word over the limit), ends the scan early.
            if (runState != kRunning) return 0;
            if (!inside) return 1;
            RestorePosition(lastSubroutine);
            return PrescanFail(kEndSubNotFound);
        }
    }
}
