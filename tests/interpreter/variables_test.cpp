// Variables, scopes, array indexes and the subroutine pre-scan.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "interpreter/builtin_test_support.h"
#include "interpreter/test_parser.h"
#include "platform/crt_file.h"

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

// An array is one record of count elements.
void AppendArray(CTesselParser& p, const std::string& name, int count, const std::string& scope = "") {
    ASSERT_TRUE(p.AppendVariable(Record(name, 1, count, scope)));
}

// The element's place among every element of the table, in order from 1; 0 for none.
int ElementOrdinal(const CTesselParser& p, ElementRef e) {
    if (!e.Found()) return 0;
    int before = 0;
    for (int i = 0; i < e.record; ++i) before += p.variables[i].count;
    return before + e.element;
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

TEST(ArrayIndexTest, ReadsTheIndexAndChecksItsBounds) {
    struct Case {
        const char* text;
        int execute;
        int result;           // the element's place among all elements, 0 on error
        const char* message;  // the error text (run) or pane (check pass)
    };
    const Case cases[] = {
        {"a[1]", 1, 3, ""},
        {"a[3]", 1, 5, ""},
        {"a[0]", 1, 0, " Runtime Error : Array Bound OUT OF RANGE.   :  0 < 1 (L.B) "},
        {"a[4]", 1, 0, " Runtime Error : Array Bound OUT OF RANGE.   :  4 > 3 (U.B)) "},
        {"a[1.5]", 0, 0, " Syntax Error : Array Bound Must Be INTEGERS."},
        {"a 2", 1, 0, "   Expected :  \"  [  \"   "},
        {"a[99]", 0, 3, ""},  // the check pass takes index 1
        {"s[", 1, 6, ""},     // a scalar reads nothing
    };
    for (const Case& c : cases) {
        ScriptHarness h;
        TestParser& p = h.parser;
        p.PrepareScan(c.text, c.execute);
        p.DeclareVariable("pad", kTypeInteger, 2, 0, 0);
        p.DeclareVariable("a", kTypeInteger, 3, 0, 0);
        p.DeclareVariable("s", kTypeInteger, 1, 0, 0);
        ASSERT_EQ(p.ReadToken(), token::kVariable);
        EXPECT_EQ(ElementOrdinal(p, p.EvaluateArrayIndex()), c.result) << c.text;
        EXPECT_EQ(c.execute ? p.errorText : h.view.Pane(), c.message) << c.text;
    }
}

TEST(PrescanTest, ReportsMisplacedSubroutineWordsOnTheirWord) {
    struct Case {
        const char* text;
        const char* pane;
        std::pair<int, int> selection;
    };
    const Case cases[] = {
        {"Subroutin S EndSub Subroutin S EndSub", " Syntax Error : SUBROUTIN Redefinition.", {29, 1}},
        {"x = 1\nEndSub", " Syntax Error : \"EndSub\" without \"Subroutin\".", {6, 6}},
        {"Subroutin A EndSub Subroutin Bee\n x = 1", " Syntax Error : \"EndSub\" not found in SUBROUTIN declaration.",
         {29, 3}},
        // Raw reading returns "//" as a word and reads the rest of its line as tokens.
    };
    for (const Case& c : cases) {
        ScriptHarness h;
        h.parser.PrepareScan(c.text, 0);
        EXPECT_EQ(h.parser.PrescanSubroutines(), 0) << c.text;
        EXPECT_EQ(h.view.Pane(), c.pane) << c.text;
        ASSERT_FALSE(h.view.Selections().empty());
        EXPECT_EQ(h.view.Selections().back(), c.selection) << c.text;
    }
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

}  // namespace
