// Variables, scopes, array indexes and the subroutine pre-scan.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "interpreter/builtin_test_support.h"
#include "base/dyna_array.h"
#include "base/matrix.h"
#include "interpreter/test_parser.h"
#include "platform/crt_file.h"
#include "platform/desktop.h"

namespace {

Value Record(const std::string& name, int index, int count, const std::string& scope = "") {
    Value v;
    v.name = name;
    v.SetInteger(index);
    v.index = index;
    v.count = count;
    v.scope = scope;
    return v;
}

void AppendArray(CTesselParser& p, const std::string& name, int count, const std::string& scope = "") {
    for (int i = 1; i <= count; ++i) ASSERT_TRUE(p.AppendVariable(Record(name, i, count, scope)));
}

// The lookup as the table walk defines it: from the newest record back, each array once by its
// first record; in the check pass only variables whose scope begins the current scope path.
int ReferenceFind(const CTesselParser& p, const std::string& name) {
    int i = p.variables.GetCount() - 1;
    while (i >= 0) {
        const int first = i - p.variables[i].index + 1;
        const Value& r = p.variables[first];
        const bool visible =
            p.execute || (r.scope.size() <= p.scope.size() && p.scope.compare(0, r.scope.size(), r.scope) == 0);
        if (r.name == name && visible) return first;
        i = first - 1;
    }
    return -1;
}

TEST(FindVariableTest, NewestDeclarationWinsAndArraysAreFoundByTheirFirstRecord) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("", 1);
    AppendArray(p, "a", 1);
    AppendArray(p, "arr", 3);
    AppendArray(p, "b", 1);
    EXPECT_EQ(p.FindVariable("a"), 0);
    EXPECT_EQ(p.FindVariable("arr"), 1);
    AppendArray(p, "a", 2);  // an inner declaration hides the outer one
    EXPECT_EQ(p.FindVariable("a"), 5);
    p.CutVariables(5);  // the block ends: the outer one is found again
    EXPECT_EQ(p.FindVariable("a"), 0);
    EXPECT_EQ(p.FindVariable("A"), -1);
    EXPECT_EQ(p.FindVariable("zz"), -1);
}

TEST(FindVariableTest, TheCheckPassSeesOnlyVariablesOfEnclosingScopes) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("", 0);
    AppendArray(p, "g", 1, "");
    AppendArray(p, "x", 1, "main1");
    AppendArray(p, "x", 1, "main1for1");
    p.scope = "main1for1then2";
    EXPECT_EQ(p.FindVariable("x"), 2);
    p.scope = "main1for2";
    EXPECT_EQ(p.FindVariable("x"), 1);  // the newer x belongs to another loop
    p.scope = "";
    EXPECT_EQ(p.FindVariable("x"), -1);
    EXPECT_EQ(p.FindVariable("g"), 0);  // an empty scope always matches
    p.execute = 1;
    EXPECT_EQ(p.FindVariable("x"), 2);  // a run finds by name alone
}

TEST(FindVariableTest, HashedLookupAgreesWithTheTableWalkThroughAppendsAndCuts) {
    ScriptHarness h;
    TestParser& p = h.parser;
    std::mt19937 random(12345);
    const std::vector<std::string> names = {"a", "b", "c", "arr", "x_long_variable_name_beyond_sso"};
    const std::vector<std::string> scopes = {"", "main1", "main1for1", "main1for2", "main1for1then1"};
    for (int execute = 0; execute <= 1; ++execute) {
        p.PrepareScan("", execute);
        std::vector<int> blockStarts;
        for (int step = 0; step < 3000; ++step) {
            const int action = static_cast<int>(random() % 10);
            if (action < 5) {
                AppendArray(p, names[random() % names.size()], 1 + static_cast<int>(random() % 3),
                            execute ? "" : scopes[random() % scopes.size()]);
            } else if (action < 7) {
                blockStarts.push_back(p.variables.GetCount());
            } else if (action < 8 && !blockStarts.empty()) {
                p.CutVariables(blockStarts.back());
                blockStarts.pop_back();
            } else {
                p.scope = scopes[random() % scopes.size()];
            }
            for (const std::string& name : names) ASSERT_EQ(p.FindVariable(name), ReferenceFind(p, name)) << step;
        }
    }
}

TEST(DeclareVariableTest, MakesOneRecordPerElementWithTheValueOfItsType) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("", 1);
    p.DeclareVariable("i", kTypeInteger, 1, 0, 0);
    p.DeclareVariable("f", kTypeFloat, 2, 0, 0);
    p.DeclareVariable("s", kTypeString, 1, 0, 0);
    p.DeclareVariable("m", kTypeMatrix, 1, 2, 3);
    p.DeclareVariable("h", kTypeFile, 1, 0, 0);
    ASSERT_EQ(p.variables.GetCount(), 6);
    EXPECT_EQ(p.variables[0].type, kTypeInteger);
    EXPECT_EQ(p.variables[0].value.integer, 0);
    EXPECT_EQ(p.variables[1].type, kTypeFloat);
    EXPECT_EQ(p.variables[1].value.number, 0.0);
    EXPECT_EQ((std::vector<int>{p.variables[1].index, p.variables[2].index}), (std::vector<int>{1, 2}));
    EXPECT_EQ(p.variables[2].count, 2);
    EXPECT_EQ(p.variables[2].name, "f");
    EXPECT_EQ(p.variables[3].type, kTypeString);
    EXPECT_EQ(p.variables[3].Text(), "");
    ASSERT_EQ(p.variables[4].type, kTypeMatrix);
    EXPECT_EQ(p.variables[4].value.matrix->GetRows(), 2);
    EXPECT_EQ(p.variables[4].value.matrix->GetCols(), 3);
    EXPECT_EQ(p.variables[4].value.matrix->GetName(), "m");
    EXPECT_EQ(p.variables[5].type, kTypeFile);
    EXPECT_EQ(p.variables[5].value.file, nullptr);

    p.DeclareVariable("i", kTypeFloat, 3, 0, 0);  // already known: nothing is declared
    EXPECT_EQ(p.variables.GetCount(), 6);
}

TEST(DeclareVariableTest, AnArrayCutShortByExhaustedMemoryLeavesNoPartOfItself) {
    DesktopScope desk;
    DynaArrayAllocation::failHook = [](std::size_t slots) { return slots > 5000; };
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("a[5000]", 1);  // the table's first growth gives 5000 slots, one kept spare
    EXPECT_FALSE(p.DeclareVariable("a", kTypeInteger, 100000, 0, 0));
    DynaArrayAllocation::failHook = nullptr;
    EXPECT_EQ(desk.recorder.boxes.size(), 1u);  // one message, not one per refused element
    EXPECT_EQ(p.variables.GetCount(), 0);
    EXPECT_EQ(p.FindVariable("a"), -1);
}

TEST(DeclareVariableTest, TheCheckPassListsADeclarationOncePerTextPosition) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("Integer k", 0);
    p.scope = "main1sub1";
    p.ReadToken();
    p.ReadToken();  // the name, as the declaration reads it
    const int length = p.variables.GetCount();
    p.DeclareVariable("k", kTypeInteger, 4, 0, 0);
    EXPECT_EQ(p.variables[0].scope, "main1sub1");
    p.CutVariables(length);
    p.DeclareVariable("k", kTypeInteger, 4, 0, 0);  // the same declaration visited again
    ASSERT_EQ(h.view.TreeVariables().size(), 1u);
    const RecordingView::VariableEntry entry = h.view.TreeVariables()[0];
    EXPECT_EQ(entry.name, "k");
    EXPECT_EQ(entry.count, 4);
    EXPECT_EQ(entry.start, 8);
    EXPECT_EQ(entry.length, 1);

    ScriptHarness run;
    run.parser.PrepareScan("Integer k", 1);
    run.parser.DeclareVariable("k", kTypeInteger, 1, 0, 0);
    EXPECT_TRUE(run.view.TreeVariables().empty());  // a run lists nothing
}

struct IndexCase {
    const char* name;
    const char* text;
    int execute;
    int result;           // record index + 1, 0 on error
    const char* message;  // the error text (run) or pane (check pass); "" for none
};

class ArrayIndexTest : public ::testing::TestWithParam<IndexCase> {};

TEST_P(ArrayIndexTest, ReadsTheIndexAndChecksItsBounds) {
    const IndexCase& c = GetParam();
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan(c.text, c.execute);
    p.DeclareVariable("pad", kTypeInteger, 2, 0, 0);
    p.DeclareVariable("a", kTypeInteger, 3, 0, 0);
    p.DeclareVariable("s", kTypeInteger, 1, 0, 0);
    ASSERT_EQ(p.ReadToken(), token::kVariable);
    EXPECT_EQ(p.EvaluateArrayIndex(), c.result);
    const std::string shown = c.execute ? p.errorText : h.view.Pane();
    EXPECT_EQ(shown, c.message);
    if (c.result == 0) {
        EXPECT_EQ(p.runState, kEndedByError);
        EXPECT_EQ(p.execute, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, ArrayIndexTest,
    ::testing::Values(
        IndexCase{"first", "a[1]", 1, 3, ""}, IndexCase{"last", "a[3]", 1, 5, ""},
        IndexCase{"expression", "a[1 + 1]", 1, 4, ""},
        IndexCase{"below", "a[0]", 1, 0, " Runtime Error : Array Bound OUT OF RANGE.   :  0 < 1 (L.B) "},
        IndexCase{"negative", "a[-7]", 1, 0, " Runtime Error : Array Bound OUT OF RANGE.   :  -7 < 1 (L.B) "},
        IndexCase{"above", "a[4]", 1, 0, " Runtime Error : Array Bound OUT OF RANGE.   :  4 > 3 (U.B)) "},
        IndexCase{"float_index", "a[1.5]", 1, 0, " Syntax Error : Array Bound Must Be INTEGERS."},
        IndexCase{"missing_open", "a 2", 1, 0, "   Expected :  \"  [  \"   "},
        IndexCase{"missing_close", "a[2 x", 1, 0, "   Expected :  \"  ]  \"   "},
        IndexCase{"check_pass_takes_index_1", "a[99]", 0, 3, ""},
        IndexCase{"check_pass_still_tests_the_type", "a[1.5]", 0, 0, " Syntax Error : Array Bound Must Be INTEGERS."},
        IndexCase{"scalar_reads_nothing", "s[", 1, 6, ""}),
    [](const ::testing::TestParamInfo<IndexCase>& info) { return std::string(info.param.name); });

TEST(ArrayIndexTest, ErrorsHighlightTheOpeningBracket) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("a[ 4 ]", 1);
    p.DeclareVariable("a", kTypeInteger, 3, 0, 0);
    ASSERT_EQ(p.ReadToken(), token::kVariable);
    EXPECT_EQ(p.EvaluateArrayIndex(), 0);
    EXPECT_EQ(h.view.Selections().back(), (std::pair<int, int>{1, 1}));
}

TEST(ArrayIndexTest, AScalarLeavesTheBracketUnread) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("s[", 1);
    p.DeclareVariable("s", kTypeInteger, 1, 0, 0);
    ASSERT_EQ(p.ReadToken(), token::kVariable);
    EXPECT_EQ(p.EvaluateArrayIndex(), 1);
    EXPECT_EQ(p.ReadToken(), 18);
    EXPECT_EQ(p.GetUpperBoundMinusOne(0), 0);
}

TEST(ScopeTest, PathsGrowAndShrinkInTheCheckPassOnly) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("", 0);
    const std::string s1 = p.PushScope("main", 1);
    const std::string s2 = p.PushScope("for", 3);
    const std::string s3 = p.PushScope("then", 12);
    EXPECT_EQ(p.scope, "main1for3then12");
    EXPECT_EQ(s3, "then12");
    p.PopScope(s3);
    EXPECT_EQ(p.scope, "main1for3");
    p.PopScope(s2);
    p.PopScope(s1);
    EXPECT_EQ(p.scope, "");
    p.scope = "abc";
    p.PopScope("xbc");  // removed only while the ends match
    EXPECT_EQ(p.scope, "a");

    p.execute = 1;
    p.scope.clear();
    EXPECT_EQ(p.PushScope("for", 4), "");
    EXPECT_EQ(p.scope, "");
}

struct PrescanCase {
    const char* name;
    const char* text;
    int result;
    const char* pane;
    std::pair<int, int> selection;  // of the reported word; {-1, -1}: none
};

class PrescanTest : public ::testing::TestWithParam<PrescanCase> {};

TEST_P(PrescanTest, ReportsMisplacedSubroutineWords) {
    const PrescanCase& c = GetParam();
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan(c.text, 0);
    EXPECT_EQ(p.PrescanSubroutines(), c.result);
    EXPECT_EQ(h.view.Pane(), c.pane);
    if (c.selection.first >= 0) {
        ASSERT_FALSE(h.view.Selections().empty());
        EXPECT_EQ(h.view.Selections().back(), c.selection);
        EXPECT_EQ(p.errorText, c.pane);
        EXPECT_EQ(p.runState, kEndedByError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Subroutines, PrescanTest,
    ::testing::Values(
        PrescanCase{"pairs_anywhere", "Call S\nSubroutin S\nEndSub\nSubroutin T EndSub", 1, "", {-1, -1}},
        PrescanCase{"redefinition", "Subroutin S EndSub Subroutin S EndSub", 0,
                    " Syntax Error : SUBROUTIN Redefinition.", {29, 1}},
        PrescanCase{"known_word", "Subroutin For EndSub", 0,
                    " Syntax Error : Can not declare KNOWN words as SUBROUTIN.", {10, 3}},
        PrescanCase{"number_as_name", "Subroutin 12 EndSub", 0,
                    " Syntax Error : Can not declare KNOWN words as SUBROUTIN.", {10, 2}},
        PrescanCase{"endsub_alone", "x = 1\nEndSub", 0, " Syntax Error : \"EndSub\" without \"Subroutin\".", {6, 6}},
        PrescanCase{"exitsub_alone", "ExitSub", 0, " Syntax Error : \"Return\" without \"Subroutin\".", {0, 7}},
        PrescanCase{"text_ends_inside", "Subroutin A EndSub Subroutin Bee\n x = 1", 0,
                    " Syntax Error : \"EndSub\" not found in SUBROUTIN declaration.", {29, 3}},
        PrescanCase{"block_comments_are_skipped", "/* EndSub */ x", 1, "", {-1, -1}},
        // Raw reading returns "//" as a word and reads the rest of its line as tokens.
        PrescanCase{"line_comments_are_read", "// EndSub", 0, " Syntax Error : \"EndSub\" without \"Subroutin\".", {3, 6}}),
    [](const ::testing::TestParamInfo<PrescanCase>& info) { return std::string(info.param.name); });

TEST(PrescanTest, RegistersEachSubroutineWithTheMarkAfterItsName) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("Call Go\nSubroutin Go\n x\nEndSub", 0);
    ASSERT_EQ(p.PrescanSubroutines(), 1);
    ASSERT_EQ(p.subroutines.GetCount(), 1);
    EXPECT_EQ(p.subroutines[0].name, "Go");
    EXPECT_EQ(p.subroutines[0].position, 20);
    EXPECT_EQ(p.subroutines[0].tokenCount, 4);
    ASSERT_EQ(h.view.TreeItems().size(), 1u);
    EXPECT_EQ(h.view.TreeItems()[0].text, "Go");
    EXPECT_EQ(h.view.TreeItems()[0].category, 6);
    EXPECT_EQ(h.view.TreeItems()[0].start, 18);
    EXPECT_EQ(h.view.TreeItems()[0].length, 2);
}

Value FileRecord(const std::string& name, crt::CrtFile* f) {
    Value v;
    v.name = name;
    v.SetFile(f);
    return v;
}

TEST(FileRecordsTest, ADroppedFileIsClosedUnlessASurvivorSharesIt) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("", 1);
    ScratchFolder folder;
    const std::string ownPath = folder.File("own.txt");
    const std::string sharedPath = folder.File("shared.txt");
    crt::CrtFile* own = crt::CrtFile::Open(ownPath, "wb").release();
    crt::CrtFile* shared = crt::CrtFile::Open(sharedPath, "wb").release();
    ASSERT_NE(own, nullptr);
    ASSERT_NE(shared, nullptr);
    ASSERT_TRUE(p.AppendVariable(FileRecord("keep", shared)));
    ASSERT_TRUE(p.AppendVariable(FileRecord("inner", own)));
    ASSERT_TRUE(p.AppendVariable(FileRecord("copy", own)));  // two dropped records, one file
    ASSERT_TRUE(p.AppendVariable(FileRecord("alias", shared)));
    ASSERT_TRUE(own->Puts("own"));
    ASSERT_TRUE(shared->Puts("shared"));

    p.CutVariables(1);
    EXPECT_EQ(ReadBytes(ownPath), Bytes("own"));  // closed, so flushed
    EXPECT_EQ(p.variables[1].value.file, nullptr);
    EXPECT_EQ(p.variables[2].value.file, nullptr);
    ASSERT_EQ(p.variables[0].value.file, shared);  // still open for the survivor
    EXPECT_TRUE(shared->Puts("+more"));

    p.EndRun(1);  // the end of the run closes what is left, once
    EXPECT_EQ(ReadBytes(sharedPath), Bytes("shared+more"));
    EXPECT_EQ(p.variables.GetCount(), 0);
}

TEST(FileRecordsTest, EndRunClosesASharedHandleOnce) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("", 1);
    ScratchFolder folder;
    const std::string path = folder.File("twice.txt");
    crt::CrtFile* f = crt::CrtFile::Open(path, "wt").release();
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(p.AppendVariable(FileRecord("a", f)));
    ASSERT_TRUE(p.AppendVariable(FileRecord("b", f)));
    ASSERT_TRUE(f->Puts("x\n"));
    p.EndRun(1);
    EXPECT_EQ(ReadBytes(path), Bytes("x\r\n"));
}

TEST(ResetTest, AResetEmptiesTheTablesAndSetsTheVariableStep) {
    ScriptHarness h;
    TestParser& p = h.parser;
    p.PrepareScan("a b c", 0);
    p.ReadToken();
    p.ReadToken();
    p.DeclareVariable("v", kTypeInteger, 3, 0, 0);
    p.scope = "main1";
    p.inSubroutine = p.returning = p.wavePlaying = 1;
    p.ResetBaseRunState();
    EXPECT_EQ(p.position, 0);
    EXPECT_EQ(p.tokenCount, 0);
    EXPECT_EQ(p.currentToken, -1);
    EXPECT_EQ(p.variableIndex, -1);
    EXPECT_EQ(p.tokenStart[1], 0);
    EXPECT_EQ(p.tokenLength[0], 0);
    EXPECT_EQ(p.scope, "");
    EXPECT_EQ(p.inSubroutine + p.returning + p.wavePlaying, 0);
    EXPECT_EQ(p.variables.GetCount(), 0);
    EXPECT_EQ(p.variables.GetGrowBy(), 5000);
    EXPECT_EQ(p.treePositions.GetCount(), 0);
    EXPECT_EQ(p.FindVariable("v"), -1);
}

TEST(ConstructionTest, TablesKeywordsAndCaption) {
    ScriptHarness h;
    const TestParser& p = h.parser;
    ASSERT_EQ(p.keywords.GetCount(), 162);
    for (int i = 0; i < 162; ++i) ASSERT_EQ(p.keywords[i].id, i);
    EXPECT_EQ(p.keywords[161].word, "CreateChart");
    EXPECT_EQ(p.variables.GetName(), "Tessel Variables");
    EXPECT_EQ(p.variables.GetGrowBy(), 50000);
    EXPECT_EQ(p.subroutines.GetName(), "Tessel Subroutins");
    EXPECT_EQ(p.treePositions.GetName(), "Tessel Add To Tree Pos");
    EXPECT_EQ(p.caption, "Loriant Script");
    EXPECT_EQ(p.variableIndex, -1);
    EXPECT_EQ(p.tokenStart.size(), 100000u);
    EXPECT_EQ(p.running, 0);
}

}  // namespace
