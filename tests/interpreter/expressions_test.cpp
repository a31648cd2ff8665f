// Expressions: precedence, the type rules of every operator, messages and the word they select,
// functions, conditions, matrix operands and matrix assignment, in the check pass and in a run.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/matrix.h"
#include "interpreter/tessel_parser.h"
#include "interpreter/test_parser.h"
#include "platform/crt_runtime.h"

namespace {

constexpr int kRun = 1;
constexpr int kCheck = 0;

const char kMinusHere[] = " Syntax Error : Can not use '-' here.";
const char kDivideStrings[] = " Syntax Error : Can not use '/' for STRINGS.";
const char kDivideByZero[] = " Runtime Error : Divide By ZERO.";
const char kMismatch[] = " Syntax Error : Matrix dimensions mismatch.";
const char kStringsNotAllowed[] = " Syntax Error : STRINGS not allowed here.";
const char kMustBeInteger[] = " Syntax Error : Expression must be integer.";
const char kSeparator[] = " Syntax Error : \";\"  or  \",\"  expected.";
const char kNotNumeric[] = " Syntax Error : MATRIX or FILE not allowed here.";
const char kCannotEvaluate[] = " Syntax Error : Can not evaluate this EXPRESSION.";

// An interpreter positioned at the start of a text, as a pass would be; m (3 x 2, 1 .. 6), v (1 x 3),
// w (3 x 1), n (2 x 4), the float matrix h and the File variable f are declared.
class ExpressionTest : public ::testing::Test {
protected:
    RecordingView view;
    TestParser parser{&view};
    std::string text;

    void Prepare(const std::string& script, int executeFlag) {
        text = script;
        parser.PrepareScan(script, executeFlag);
        view.ClearRecords();
        crt::Srand(1);
        Declare("m", 3, 2, {1, 2, 3, 4, 5, 6});
        Declare("v", 1, 3, {7, 8, 9});
        Declare("w", 3, 1, {10, 20, 30});
        Declare("n", 2, 4, {1, 0, 0, 1, 0, 1, 1, 0});
        Declare("h", 2, 2, {2.5, 3.0, -1, 0});
        parser.DeclareVariable("f", kTypeFile, 1, 0, 0);
    }
    int Eval(const std::string& script, Value& v, int executeFlag = kRun) {
        Prepare(script, executeFlag);
        return parser.ReadExpression2(v);
    }
    // The text of the word the last error selected.
    std::string Selected() const {
        auto selections = view.Selections();
        if (selections.empty()) return "<none>";
        auto [start, length] = selections.back();
        return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
    }
    CMatrix& Declare(const std::string& name, int rows, int cols, const std::vector<double>& values) {
        parser.DeclareVariable(name, kTypeMatrix, 1, rows, cols);
        CMatrix& m = *parser.variables[parser.FindVariable(name)].value.matrix;
        FillRowByRow(m, values);
        return m;
    }
};

TEST_F(ExpressionTest, NumbersFollowPrecedenceTypeRulesAndWrapping) {
    struct Case {
        const char* script;
        int type;
        double value;
    };
    const int I = kTypeInteger, F = kTypeFloat;
    const Case cases[] = {
        {"2 + 3 * 4", I, 14}, {"2 ^ 3 ^ 2", F, 512}, {"-2 ^ 2", F, 4}, {"1 + 7 Mod 4", I, 0},
        {"2 * 3 Mod 4", I, 2}, {"10 - 4 - 3", I, 3}, {"100 / 10 / 5", I, 2}, {"2 * (3 + 4) ^ 2", F, 98},
        {"-7 / 2", I, -3}, {"7 / 2.0", F, 3.5}, {"7.5 Mod 2", F, 1.5}, {"-7 Mod 3", I, -1}, {"1.2.3", F, 1.2},
        {"2147483647 + 1", I, -2147483648.0}, {"65536 * 65536", I, 0}, {"(-2147483647 - 1) / -1", I, -2147483648.0},
        {"99999999999", I, 2147483647},  // saturates as the C runtime's atoi does
        {"INT(-2.7)", I, -2}, {"INT(-3000000000.5)", I, -2147483648.0}, {"INT(Pow(-8, 0.5))", I, -2147483648.0},
        {"7 Mod 0", I, -2147483648.0}, {"RGB(0, 0, 255)", I, 16711680}, {"RGB(1.9, 2, 0)", I, 513},
        {"RGB(-1, 0, 0)", I, 255}, {"SinD(30)", F, 0.5}, {"TanD(45)", F, 1}, {"CosR(0)", F, 1},
        {"1 + Sqrt(4) * 2", F, 5}, {"True + 1", I, 2},
        // the C runtime's generator from seed 1 gives 41, 18467 ...; RND(n) is (n + 1) r / 32767
        {"RND(32766) + RND(32766)", I, 41 + 18467}, {"RND(9.0)", I, 0}, {"RND(2147483646) / 65536", I, 41},
    };
    for (const Case& c : cases) {
        Value v;
        ASSERT_EQ(Eval(c.script, v), 1) << c.script << ": " << parser.errorText;
        EXPECT_EQ(v.type, c.type) << c.script;
        EXPECT_DOUBLE_EQ(v.AsDouble(), c.value) << c.script;
    }
}

TEST_F(ExpressionTest, TextsConcatenate) {
    const std::pair<const char*, const char*> cases[] = {
        {"'n = ' + 5", "n = 5"}, {"5 + ' apples'", "5 apples"}, {"16777217 + ''", "16777217"}, {"'' + 1 + 2", "12"},
        {"1 + 2 + ''", "3"}, {"'q' + 0.00001234", "q0.00001234"}, {"'r' + 1.23456789", "r1.23457"},
        {"'a  b' + \"c\\td\\ne\"", "a  bc\td\r\ne"}, {"'M:' + h", "M:2.5\t3\r\n-1\t0"}, {"'a' + f", "a"},
    };
    for (const auto& [script, expected] : cases) {
        Value v;
        ASSERT_EQ(Eval(script, v), 1) << script << ": " << parser.errorText;
        EXPECT_EQ(v.Text(), expected) << script;
    }
}

TEST_F(ExpressionTest, ErrorsReportTheirMessageOnTheirWord) {
    struct Case {
        const char* script;
        int executeFlag;
        const char* message;
        const char* selected;
    };
    const Case cases[] = {
        {"'a' - 'b'", kCheck, kMinusHere, "-"}, {"1 - 'a'", kRun, kMinusHere, "-"},
        {"4 / 'a'", kCheck, kDivideStrings, "4"}, {"5 Mod 'a'", kRun, " Syntax Error : Can not use \"Mod\" for STRINGS.", "Mod"},
        {"2 ^ 'a'", kCheck, " Syntax Error : Can not use '^' for STRINGS.", "'"},
        {"1 + f", kCheck, " Syntax Error : Can not use '+' here.", "+"}, {"-m", kCheck, kMinusHere, "-"},
        {"Sqrt(m)", kCheck, kNotNumeric, "m"}, {"1 / (2 - 2)", kRun, kDivideByZero, ")"},
        {"1 / 0.0", kRun, kDivideByZero, "0.0"}, {"m / 0", kRun, kDivideByZero, "0"},
        {"Sqrt(-1)", kRun, " Runtime Error : \"Sqrt\" argument is out of range.", "Sqrt"},
        {"1 + Log(-1)", kRun, " Runtime Error : \"Log\" argument is out of range.", "Log"},
        {"1 + PI", kCheck, kCannotEvaluate, "+"}, {"3 *", kCheck, kCannotEvaluate, "*"},
        {"zork", kRun, " Syntax Error : Unknown Variable.", "zork"}, {"1 + \"abc", kCheck, "String not terminated.", "\""},
        {"RGB(1, 'a', 0)", kCheck, kStringsNotAllowed, "'"}, {"(1 + 2", kCheck, "   Expected :  \"  )  \"   ", "2"},
        {"Pow(2 3)", kCheck, "   Expected :  \"  ,  \"   ", "3"},
        // matrix operands, in both passes
        {"m * m", kCheck, kMismatch, "m"}, {"m + v", kRun, kMismatch, "v"}, {"m / m", kRun, kDivideStrings, "m"},
        {"m[1.5][1]", kCheck, kMustBeInteger, "1.5"}, {"m[1][1", kRun, "   Expected :  \"  ]  \"   ", "1"},
        {"m[] 1", kCheck, "   Expected :  \"  [  \"   ", "1"},
    };
    for (const Case& c : cases) {
        Value v;
        EXPECT_EQ(Eval(c.script, v, c.executeFlag), 0) << c.script;
        // the check pass shows the message in the pane, a run keeps it for its end line
        EXPECT_EQ(c.executeFlag == kCheck ? view.Pane() : parser.errorText, c.message) << c.script;
        EXPECT_EQ(Selected(), c.selected) << c.script;
        EXPECT_EQ(parser.runState, kEndedByError) << c.script;
    }
}

TEST_F(ExpressionTest, RunTimeTestsAreSkippedInTheCheckPass) {
    for (const char* script : {"1 / 0", "Sqrt(-1)", "Pow(0, 0)", "Ln(0)", "ArcCosD(5)", "m / Clock", "m[9][9]"}) {
        Value v;
        EXPECT_EQ(Eval(script, v, kCheck), 1) << script;
        EXPECT_EQ(parser.errorText, "") << script;
    }
}

TEST_F(ExpressionTest, ConditionsGiveTheirTruthValue) {
    const std::pair<const char*, int> cases[] = {
        {"1 = 2", 0}, {"2 <= 2", 1}, {"2 >= 3", 0}, {"2 <> 2", 0}, {"3 = 3.0", 1}, {"'abc' < 'abd'", 1},
        {"'ab' < 'a'", 0}, {"'ab' <= 'ab'", 1}, {"'b' >= 'c'", 0}, {"'\xE9' > 'z'", 1},  // bytes compare unsigned
        {"'x' + 1 = 'x1'", 1}, {"0.0", 0}, {"''", 0}, {"NOT 'x'", 0}, {"NOT 1 = 2 And 0", 0},
        {"0 And 1 Or 1", 0},  // the chain groups from the right: 0 And (1 Or 1)
        {"NOT 1 = 1 Or 1", 1},  // NOT covers only its own comparison
    };
    for (const auto& [script, expected] : cases) {
        Prepare(script, kRun);
        int result = -1;
        ASSERT_EQ(parser.EvaluateCondition(result), 1) << script << ": " << parser.errorText;
        EXPECT_EQ(result, expected) << script;
    }
    for (const char* script : {"'a' = 1", "1 = m", "0 And 1 / 0 = 1"}) {
        Prepare(script, kRun);
        int result = -1;
        EXPECT_EQ(parser.EvaluateCondition(result), 0) << script;
        EXPECT_NE(parser.errorText, "") << script;
    }
}

TEST_F(ExpressionTest, MatrixResultsHaveTheirShapeAndElements) {
    struct Case {
        const char* script;
        int rows;
        int cols;
        std::vector<double> elements;
    };
    const Case cases[] = {
        {"m[2]", 1, 2, {3, 4}}, {"m[][2]", 3, 1, {2, 4, 6}}, {"m - 0.5", 3, 2, {0.5, 1.5, 2.5, 3.5, 4.5, 5.5}},
        {"m / 2", 3, 2, {0.5, 1, 1.5, 2, 2.5, 3}}, {"m * n", 3, 4, {1, 2, 2, 1, 3, 4, 4, 3, 5, 6, 6, 5}},
        {"w * v", 3, 3, {70, 80, 90, 140, 160, 180, 210, 240, 270}}, {"v * w", 1, 1, {500}},
        {"(m + 1) * 2", 3, 2, {4, 6, 8, 10, 12, 14}},
    };
    for (const Case& c : cases) {
        Value v;
        ASSERT_EQ(Eval(c.script, v), 1) << c.script << ": " << parser.errorText;
        ASSERT_EQ(v.type, kTypeMatrix) << c.script;
        EXPECT_EQ(v.value.matrix->GetRows(), c.rows) << c.script;
        EXPECT_EQ(v.value.matrix->GetCols(), c.cols) << c.script;
        EXPECT_EQ(Elements(*v.value.matrix), c.elements) << c.script;
    }
    Value element;
    ASSERT_EQ(Eval("h[1][1] + w[2]", element), 1);
    EXPECT_DOUBLE_EQ(element.AsDouble(), 22.5);
}

TEST_F(ExpressionTest, AccessOutsideTheMatrixReportsTheMatrixText) {
    const std::pair<const char*, const char*> cases[] = {
        {"m[4][1]", "Error: Accesing invalid row in maxtrix \"m\". "},
        {"m[1][3]", "Error: Accesing invalid column in maxtrix \"m\". "},
    };
    for (const auto& [script, message] : cases) {
        Value v;
        EXPECT_EQ(Eval(script, v), 0) << script;
        EXPECT_EQ(parser.errorText, message) << script;
    }
}

TEST_F(ExpressionTest, MatrixLiteralsFillTheRegionInBothPasses) {
    struct Case {
        const char* script;
        int rowFrom, rowTo, colFrom, colTo;
        std::vector<double> elements;
    };
    const Case cases[] = {
        {"[1, 2; 3, 4]", 0, 2, 0, 2, {1, 2, 3, 4}}, {"[1; 2, 3; 4]", 0, 2, 0, 2, {1, 2, 3, 4}},
        {"[0.5, -2]", 1, 2, 0, 2, {0, 0, 0.5, -2}}, {"7 + 1", 1, 2, 1, 2, {0, 0, 0, 8}},
        {"[Abs(-4)]", 0, 1, 1, 2, {0, 4, 0, 0}},
    };
    for (const Case& c : cases) {
        for (int pass : {kCheck, kRun}) {
            Prepare(c.script, pass);
            CMatrix& t = Declare("t", 2, 2, {});
            ASSERT_EQ(parser.AssignMatrix(t, c.rowFrom, c.rowTo, c.colFrom, c.colTo, 0), 1) << c.script;
            EXPECT_EQ(Elements(t), c.elements) << c.script;
            EXPECT_EQ(parser.ReadToken(), token::kEnd) << c.script;
        }
    }
}

TEST_F(ExpressionTest, MatrixLiteralErrors) {
    struct Case {
        const char* script;
        int rowFrom, rowTo, colFrom, colTo, integerOnly;
        const char* message;
    };
    const Case cases[] = {
        {"[1, 2 3, 4]", 0, 2, 0, 2, 0, kSeparator},
        {"[1, 2, 3, 4", 0, 2, 0, 2, 0, "   Expected :  \"  ]  \"   "},
        {"[1.5, 2]", 0, 1, 0, 2, 1, kMustBeInteger},
        {"[1, 2]", 2, 3, 0, 2, 0, " Runtime Error : Setting invalid row number."},
        {"'a'", 0, 1, 0, 1, 0, " Syntax Error : Cannot transfer result to the matrix."},
        {"v", 0, 2, 0, 2, 0, kMismatch},
        {"RANDOM_ELEMENTS(1, 'a')", 0, 2, 0, 2, 0, kStringsNotAllowed},
    };
    for (const Case& c : cases) {
        Prepare(c.script, kRun);
        CMatrix& t = Declare("t", 2, 2, {});
        EXPECT_EQ(parser.AssignMatrix(t, c.rowFrom, c.rowTo, c.colFrom, c.colTo, c.integerOnly), 0) << c.script;
        EXPECT_EQ(parser.errorText, c.message) << c.script;
    }
}

TEST_F(ExpressionTest, RandomElementsFillTheWholeMatrixInARunOnly) {
    Prepare("RANDOM_ELEMENTS(0, 10)", kCheck);
    CMatrix& untouched = Declare("t", 2, 2, {});
    ASSERT_EQ(parser.AssignMatrix(untouched, 0, 2, 0, 2, 0), 1);
    EXPECT_EQ(Elements(untouched), std::vector<double>(4, 0.0));
    EXPECT_EQ(crt::Rand(), 41);  // nothing drawn
    Prepare("RANDOM_ELEMENTS(0, 10)", kRun);
    CMatrix& whole = Declare("t", 2, 2, {});
    ASSERT_EQ(parser.AssignMatrix(whole, 0, 1, 0, 1, 1), 1);  // the region does not limit the fill
    // 41, 18467, 6334, 26500 from seed 1, scaled to 0 .. 10 and truncated
    EXPECT_EQ(Elements(whole), (std::vector<double>{0, 5, 1, 8}));
}

}  // namespace

// The reading's levels are the interpreter's own: a caller enters through the whole expression,
// statement or word, never through a level below it.
template <typename P>
concept ReachesExpressionLevels = requires(P& p, Value& v) { p.EvalAdditive(v); } || requires(P& p, Value& v) {
    p.EvalPrimary(v);
} || requires(P& p, ElementRef e) { p.ExecuteAssignment(e); } || requires(P& p) { p.ExecuteFor(1); };
template <typename P>
concept ReachesLexerSteps = requires(P& p) { p.SkipBlockComment(); } || requires(P& p) { p.StripTatweel(); };
template <typename P>
concept ReachesEntries = requires(P& p, Value& v) {
    p.ReadExpression2(v);
    p.ExecuteBlock(1, 0);
    p.ReadToken();
};

TEST(ParserInterface, OffersEntriesAndKeepsItsLevelsPrivate) {
    EXPECT_TRUE(ReachesEntries<CTesselParser>);
    EXPECT_FALSE(ReachesExpressionLevels<CTesselParser>);
    EXPECT_FALSE(ReachesLexerSteps<CTesselParser>);
}

// The reading's own state (the call and return flags, the scope counters, the last built-in value)
// and the steps the compiled regions take on the reader are the interpreter's: a caller reads the
// run through the fields it is offered.
template <typename P>
concept ReachesReadingState = requires(P& p) { p.inSubroutine; } || requires(P& p) { p.returning; } ||
                              requires(P& p) { p.scopeCounters; } || requires(P& p) { p.lastBuiltinLiteral; } ||
                              requires(P& p) { p.idleColour; } || requires(P& p) { p.keywords; } ||
                              requires(P& p) { p.helpTreeItems; };
template <typename P>
concept ReachesRegionSteps = requires(P& p) { p.MoveScanTo(0); } || requires(P& p) { p.EnterCalledBody(); } ||
                             requires(P& p) { p.TakeExtensionKeyword(0); } || requires(P& p) { p.ForgetBuiltinLiteral(); };
template <typename P>
concept ReachesOfferedFields = requires(P& p) {
    p.position;
    p.word;
    p.currentToken;
    p.runState;
    p.errorText;
    p.history;
};

TEST(ParserInterface, KeepsTheReadingsStateAndTheRegionsStepsPrivate) {
    EXPECT_TRUE(ReachesOfferedFields<CTesselParser>);
    EXPECT_FALSE(ReachesReadingState<CTesselParser>);
    EXPECT_FALSE(ReachesRegionSteps<CTesselParser>);
}
