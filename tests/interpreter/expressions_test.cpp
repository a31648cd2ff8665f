// Expressions: precedence, the type rules of every operator, messages and the word they select,
// functions, conditions, matrix operands and matrix assignment, in the check pass and in a run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "interpreter/keyword_catalogue.h"
#include "base/matrix.h"
#include "interpreter/tessel_parser.h"
#include "interpreter/test_parser.h"
#include "platform/crt_runtime.h"

namespace {

constexpr int kRun = 1;
constexpr int kCheck = 0;

const char kMinusHere[] = " Syntax Error : Can not use '-' here.";
const char kModStrings[] = " Syntax Error : Can not use \"Mod\" for STRINGS.";
const char kTimesStrings[] = " Syntax Error : Can not use '*' for STRINGS.";
const char kDivideStrings[] = " Syntax Error : Can not use '/' for STRINGS.";
const char kPowerStrings[] = " Syntax Error : Can not use '^' for STRINGS.";
const char kDivideByZero[] = " Runtime Error : Divide By ZERO.";
const char kMismatch[] = " Syntax Error : Matrix dimensions mismatch.";
const char kStringsNotAllowed[] = " Syntax Error : STRINGS not allowed here.";
const char kMustBeInteger[] = " Syntax Error : Expression must be integer.";
const char kSeparator[] = " Syntax Error : \";\"  or  \",\"  expected.";
const char kCompare[] = " Syntax Error : Can not Compare STRINGS with NUMERICALS.";
const char kNotNumeric[] = " Syntax Error : MATRIX or FILE not allowed here.";

// An interpreter positioned at the start of a text, as a pass would be, with helpers to declare
// variables and to evaluate the text with one of the expression operations.
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
    }
    int Eval(const std::string& script, Value& v, int executeFlag = kRun) {
        Prepare(script, executeFlag);
        return parser.ReadExpression2(v);
    }
    int Condition(const std::string& script, int& result, int executeFlag = kRun) {
        Prepare(script, executeFlag);
        return parser.EvaluateCondition(result);
    }
    // The text of the word the last error selected.
    std::string Selected() const {
        auto selections = view.Selections();
        if (selections.empty()) return "<none>";
        auto [start, length] = selections.back();
        return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
    }
    // Declares a matrix (after Prepare, which empties the tables) filled row by row from values.
    CMatrix& DeclareMatrix(const std::string& name, int rows, int cols, const std::vector<double>& values) {
        parser.DeclareVariable(name, kTypeMatrix, 1, rows, cols);
        CMatrix& m = *parser.variables[parser.FindVariable(name)].value.matrix;
        FillRowByRow(m, values);
        return m;
    }
    Value& DeclareScalar(const std::string& name, int type) {
        parser.DeclareVariable(name, type, 1, 0, 0);
        return parser.variables[parser.FindVariable(name)];
    }
};

// ------------------------------------------------------------------ numbers

struct NumberCase {
    const char* script;
    int type;
    double value;
};

class NumberResults : public ExpressionTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(NumberResults, HaveTheTypeAndValueOfTheRules) {
    const NumberCase& c = GetParam();
    Value v;
    ASSERT_EQ(Eval(c.script, v), 1) << c.script << ": " << parser.errorText;
    EXPECT_EQ(v.type, c.type) << c.script;
    if (c.type == kTypeInteger)
        EXPECT_EQ(v.value.integer, static_cast<std::int32_t>(c.value)) << c.script;
    else
        EXPECT_DOUBLE_EQ(v.value.number, c.value) << c.script;
    EXPECT_EQ(parser.errorText, "");
}

INSTANTIATE_TEST_SUITE_P(
    Precedence, NumberResults,
    ::testing::Values(NumberCase{"2 + 3 * 4", kTypeInteger, 14}, NumberCase{"(2 + 3) * 4", kTypeInteger, 20},
                      NumberCase{"2 ^ 3 ^ 2", kTypeFloat, 512}, NumberCase{"-2 ^ 2", kTypeFloat, 4},
                      NumberCase{"7 Mod 3 + 1", kTypeInteger, 2}, NumberCase{"1 + 7 Mod 4", kTypeInteger, 0},
                      NumberCase{"2 * 3 Mod 4", kTypeInteger, 2}, NumberCase{"10 - 4 - 3", kTypeInteger, 3},
                      NumberCase{"100 / 10 / 5", kTypeInteger, 2}, NumberCase{"2 ^ -1", kTypeFloat, 0.5},
                      NumberCase{"2 ^ 2 * 3", kTypeFloat, 12}, NumberCase{"- 3 * 2", kTypeInteger, -6},
                      NumberCase{"+5", kTypeInteger, 5}, NumberCase{"1 - -1", kTypeInteger, 2},
                      NumberCase{"((((7))))", kTypeInteger, 7}, NumberCase{"2 * (3 + 4) ^ 2", kTypeFloat, 98}));

INSTANTIATE_TEST_SUITE_P(
    TypeRules, NumberResults,
    ::testing::Values(NumberCase{"7 / 2", kTypeInteger, 3}, NumberCase{"-7 / 2", kTypeInteger, -3},
                      NumberCase{"7.0 / 2", kTypeFloat, 3.5}, NumberCase{"7 / 2.0", kTypeFloat, 3.5},
                      NumberCase{"1 + 0.5", kTypeFloat, 1.5}, NumberCase{"0.5 + 1", kTypeFloat, 1.5},
                      NumberCase{"3 * 1.5", kTypeFloat, 4.5}, NumberCase{"5 - 0.5", kTypeFloat, 4.5},
                      NumberCase{"2 ^ 3", kTypeFloat, 8}, NumberCase{"7.5 Mod 2", kTypeFloat, 1.5},
                      NumberCase{"7 Mod 2.5", kTypeFloat, 2}, NumberCase{"-7 Mod 3", kTypeInteger, -1},
                      NumberCase{".5", kTypeFloat, 0.5}, NumberCase{"5.", kTypeFloat, 5},
                      NumberCase{"1.2.3", kTypeFloat, 1.2}, NumberCase{"-2.5", kTypeFloat, -2.5}));

INSTANTIATE_TEST_SUITE_P(
    Wrapping, NumberResults,
    ::testing::Values(NumberCase{"2147483647 + 1", kTypeInteger, -2147483648.0},
                      NumberCase{"-2147483647 - 2", kTypeInteger, 2147483647},
                      NumberCase{"65536 * 65536", kTypeInteger, 0}, NumberCase{"2147483647 * 2", kTypeInteger, -2},
                      NumberCase{"(-2147483647 - 1) / -1", kTypeInteger, -2147483648.0},
                      NumberCase{"-(-2147483647 - 1)", kTypeInteger, -2147483648.0},
                      // a literal past the 32-bit range saturates, as the C runtime's atoi does
                      NumberCase{"99999999999", kTypeInteger, 2147483647}));

INSTANTIATE_TEST_SUITE_P(
    Conversions, NumberResults,
    ::testing::Values(NumberCase{"INT(-2.7)", kTypeInteger, -2}, NumberCase{"INT(2.7)", kTypeInteger, 2},
                      NumberCase{"INT(5)", kTypeInteger, 5}, NumberCase{"INT(2147483648.0)", kTypeInteger, -2147483648.0},
                      NumberCase{"INT(-3000000000.5)", kTypeInteger, -2147483648.0},
                      // Pow(-8, 0.5) is not a number
                      NumberCase{"INT(Pow(-8, 0.5))", kTypeInteger, -2147483648.0},
                      NumberCase{"7 Mod 0", kTypeInteger, -2147483648.0},
                      NumberCase{"RGB(255, 0, 0)", kTypeInteger, 255}, NumberCase{"RGB(0, 0, 255)", kTypeInteger, 16711680},
                      NumberCase{"RGB(256, 1, 1)", kTypeInteger, 65792}, NumberCase{"RGB(1.9, 2, 0)", kTypeInteger, 513},
                      NumberCase{"RGB(-1, 0, 0)", kTypeInteger, 255}, NumberCase{"RGB(0, 3000000000.0, 0)", kTypeInteger, 0}));

INSTANTIATE_TEST_SUITE_P(
    Functions, NumberResults,
    ::testing::Values(NumberCase{"SinD(30)", kTypeFloat, 0.5}, NumberCase{"CosD(60)", kTypeFloat, 0.5},
                      NumberCase{"TanD(45)", kTypeFloat, 1}, NumberCase{"SinR(0)", kTypeFloat, 0},
                      NumberCase{"CosR(0)", kTypeFloat, 1}, NumberCase{"TanR(0)", kTypeFloat, 0},
                      NumberCase{"Sqrt(16)", kTypeFloat, 4}, NumberCase{"Pow(2, 10)", kTypeFloat, 1024},
                      NumberCase{"Pow(0, 2)", kTypeFloat, 0}, NumberCase{"Abs(-3)", kTypeFloat, 3},
                      NumberCase{"ArcSinD(1)", kTypeFloat, 90}, NumberCase{"ArcCosD(0)", kTypeFloat, 90},
                      NumberCase{"ArcTanD(1)", kTypeFloat, 45}, NumberCase{"ArcSinR(1)", kTypeFloat, 3.141592653589793 / 2},
                      NumberCase{"ArcCosR(1)", kTypeFloat, 0}, NumberCase{"ArcTanR(0)", kTypeFloat, 0},
                      NumberCase{"Sinh(0)", kTypeFloat, 0}, NumberCase{"Cosh(0)", kTypeFloat, 1},
                      NumberCase{"Tanh(0)", kTypeFloat, 0}, NumberCase{"Ln(1)", kTypeFloat, 0},
                      NumberCase{"Log(1000)", kTypeFloat, 3}, NumberCase{"Exp(0)", kTypeFloat, 1},
                      NumberCase{"Sqrt(Abs(-16) + 9)", kTypeFloat, 5}, NumberCase{"1 + Sqrt(4) * 2", kTypeFloat, 5}));

// The C runtime's generator from seed 1 gives 41, 18467, 6334 ... RND(n) is (n + 1) r / 32767.
INSTANTIATE_TEST_SUITE_P(
    Random, NumberResults,
    ::testing::Values(NumberCase{"RND(0)", kTypeInteger, 0}, NumberCase{"RND(32766)", kTypeInteger, 41},
                      NumberCase{"RND(32766.0)", kTypeInteger, 41}, NumberCase{"RND(9.0)", kTypeInteger, 0},
                      NumberCase{"RND(32766) + RND(32766)", kTypeInteger, 41 + 18467},
                      NumberCase{"RND(2147483646) / 65536", kTypeInteger, 41}));

TEST_F(ExpressionTest, RndDrawsInTheCheckPassToo) {
    Value v;
    ASSERT_EQ(Eval("RND(32766)", v, kCheck), 1);
    EXPECT_EQ(v.value.integer, 41);
    EXPECT_EQ(crt::Rand(), 18467);
}

// ------------------------------------------------------------------ strings

struct TextCase {
    const char* script;
    const char* text;
};

class TextResults : public ExpressionTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(TextResults, ConcatenateTheTextsOfTheirOperands) {
    Value v;
    ASSERT_EQ(Eval(GetParam().script, v), 1) << GetParam().script << ": " << parser.errorText;
    EXPECT_EQ(v.type, kTypeString);
    EXPECT_EQ(v.Text(), GetParam().text) << GetParam().script;
}

INSTANTIATE_TEST_SUITE_P(
    Concatenation, TextResults,
    ::testing::Values(TextCase{"'n = ' + 5", "n = 5"}, TextCase{"5 + ' apples'", "5 apples"},
                      TextCase{"'x' + 0.5", "x0.5"}, TextCase{"16777217 + ''", "16777217"},
                      TextCase{"'a' + 'b'", "ab"}, TextCase{"\"a\" + \"b\"", "ab"}, TextCase{"2.5 + 'x'", "2.5x"},
                      TextCase{"'v' + -3", "v-3"}, TextCase{"'' + 1 + 2", "12"}, TextCase{"1 + 2 + ''", "3"},
                      TextCase{"'a' + 1.0", "a1"}, TextCase{"'q' + 0.00001234", "q0.00001234"},
                      TextCase{"'r' + 1.23456789", "r1.23457"}, TextCase{"'s' + -5.25", "s-5.25"},
                      TextCase{"'t' + (2 - 2.0)", "t0"}));

TEST_F(ExpressionTest, StringMinusNumberIsRefusedEvenAfterConcatenation) {
    Value v;
    EXPECT_EQ(Eval("'m' + -2147483647 - 1", v), 0);
    EXPECT_EQ(parser.errorText, kMinusHere);
}

TEST_F(ExpressionTest, StringLiteralsKeepTheirRawTextAndReplaceEscapes) {
    Value v;
    ASSERT_EQ(Eval("'a  b' + \"c\\td\\ne\"", v), 1);
    EXPECT_EQ(v.Text(), "a  bc\td\r\ne");
    ASSERT_EQ(Eval("'1 + 2'", v), 1);
    EXPECT_EQ(v.Text(), "1 + 2");
}

TEST_F(ExpressionTest, ConcatenationKeepsTheLeftValueName) {
    Prepare("s + 1", kRun);
    DeclareScalar("s", kTypeString).SetString("ab");
    Value v;
    ASSERT_EQ(parser.ReadExpression2(v), 1);
    EXPECT_EQ(v.Text(), "ab1");
    EXPECT_EQ(v.name, "s");
}

// ------------------------------------------------------------------ errors

struct ErrorCase {
    const char* script;
    int executeFlag;
    const char* message;
    const char* selected;  // the word the error highlights
};

class ErrorResults : public ExpressionTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ErrorResults, ReportTheirMessageOnTheirWord) {
    const ErrorCase& c = GetParam();
    Value v;
    EXPECT_EQ(Eval(c.script, v, c.executeFlag), 0) << c.script;
    EXPECT_EQ(parser.errorText, c.message) << c.script;
    EXPECT_EQ(Selected(), c.selected) << c.script;
    EXPECT_EQ(parser.runState, kEndedByError);
    EXPECT_EQ(parser.execute, 0);
    if (c.executeFlag == kCheck) {
        EXPECT_EQ(view.Pane(), c.message) << c.script;
    }
}

INSTANTIATE_TEST_SUITE_P(
    TypeErrors, ErrorResults,
    ::testing::Values(ErrorCase{"'a' - 'b'", kCheck, kMinusHere, "-"}, ErrorCase{"- 'a'", kCheck, kMinusHere, "-"},
                      ErrorCase{"1 - 'a'", kRun, kMinusHere, "-"}, ErrorCase{"'a' * 2", kCheck, kTimesStrings, "'"},
                      ErrorCase{"2 * 'a'", kCheck, kTimesStrings, "2"}, ErrorCase{"x2 / 'a'", kCheck,
                                                                                   " Syntax Error : Unknown Variable.", "x2"},
                      ErrorCase{"4 / 'a'", kCheck, kDivideStrings, "4"}, ErrorCase{"'a' / 4", kCheck, kDivideStrings, "'"},
                      ErrorCase{"'a' Mod 2", kCheck, kModStrings, "Mod"}, ErrorCase{"5 Mod 'a'", kRun, kModStrings, "Mod"},
                      ErrorCase{"2 ^ 'a'", kCheck, kPowerStrings, "'"}, ErrorCase{"'a' ^ 2", kCheck, kPowerStrings, "2"},
                      ErrorCase{"1 + (2 * 'b')", kCheck, kTimesStrings, "2"}));

INSTANTIATE_TEST_SUITE_P(
    RunTimeErrors, ErrorResults,
    ::testing::Values(ErrorCase{"1 / 0", kRun, kDivideByZero, "0"}, ErrorCase{"1.0 / 0", kRun, kDivideByZero, "0"},
                      ErrorCase{"1 / 0.0", kRun, kDivideByZero, "0.0"}, ErrorCase{"1 / (2 - 2)", kRun, kDivideByZero, ")"},
                      ErrorCase{"Sqrt(-1)", kRun, " Runtime Error : \"Sqrt\" argument is out of range.", "Sqrt"},
                      ErrorCase{"Pow(0, 0)", kRun, " Runtime Error : \"Pow\" argument is out of range.", "Pow"},
                      ErrorCase{"Pow(0.0, -1)", kRun, " Runtime Error : \"Pow\" argument is out of range.", "Pow"},
                      ErrorCase{"ArcSinD(2)", kRun, " Runtime Error : \"ArcSin\" argument is out of range.", "ArcSinD"},
                      ErrorCase{"ArcSinR(-1.5)", kRun, " Runtime Error : \"ArcSin\" argument is out of range.", "ArcSinR"},
                      ErrorCase{"ArcCosD(1.01)", kRun, " Runtime Error : \"ArcCos\" argument is out of range.", "ArcCosD"},
                      ErrorCase{"ArcCosR(-2)", kRun, " Runtime Error : \"ArcCos\" argument is out of range.", "ArcCosR"},
                      ErrorCase{"Ln(0)", kRun, " Runtime Error : \"Ln\" argument is out of range.", "Ln"},
                      ErrorCase{"1 + Log(-1)", kRun, " Runtime Error : \"Log\" argument is out of range.", "Log"},
                      ErrorCase{"Sqrt(Pow(-8, 0.5))", kRun, " Runtime Error : \"Sqrt\" argument is out of range.", "Sqrt"}));

INSTANTIATE_TEST_SUITE_P(
    SyntaxErrors, ErrorResults,
    ::testing::Values(ErrorCase{"PI", kCheck, " Syntax Error : Can not evaluate this EXPRESSION.", ""},
                      ErrorCase{"1 + PI", kCheck, " Syntax Error : Can not evaluate this EXPRESSION.", "+"},
                      ErrorCase{"1 + + + 2", kCheck, " Syntax Error : Can not evaluate this EXPRESSION.", "+"},
                      ErrorCase{"3 *", kCheck, " Syntax Error : Can not evaluate this EXPRESSION.", "*"},
                      ErrorCase{"zork", kRun, " Syntax Error : Unknown Variable.", "zork"},
                      ErrorCase{"'abc", kCheck, "String not terminated.", "'"},
                      ErrorCase{"1 + \"abc", kCheck, "String not terminated.", "\""},
                      ErrorCase{"Sqrt('a')", kCheck, kStringsNotAllowed, "'"},
                      ErrorCase{"INT('a')", kCheck, kStringsNotAllowed, "'"},
                      ErrorCase{"RND('a')", kCheck, kStringsNotAllowed, "'"},
                      ErrorCase{"Pow(2, 'a')", kCheck, kStringsNotAllowed, "'"},
                      ErrorCase{"RGB(1, 'a', 0)", kCheck, kStringsNotAllowed, "'"}));

TEST_F(ExpressionTest, MissingWordsAreReportedAsExpected) {
    struct Case {
        const char* script;
        const char* message;
        const char* selected;
    };
    const Case cases[] = {
        {"(1 + 2", "   Expected :  \"  )  \"   ", "2"},
        {"Sqrt 4", "   Expected :  \"  (  \"   ", "4"},
        {"Pow(2 3)", "   Expected :  \"  ,  \"   ", "3"},
        {"RGB(1, 2 3)", "   Expected :  \"  ,  \"   ", "3"},
        {"INT(2.5", "   Expected :  \"  )  \"   ", "2.5"},
    };
    for (const Case& c : cases) {
        Value v;
        EXPECT_EQ(Eval(c.script, v, kCheck), 0) << c.script;
        EXPECT_EQ(view.Pane(), c.message) << c.script;
        EXPECT_EQ(Selected(), c.selected) << c.script;
        EXPECT_EQ(parser.runState, kEndedByError);
    }
}

TEST_F(ExpressionTest, RunTimeTestsAreSkippedInTheCheckPass) {
    const char* scripts[] = {"1 / 0", "Sqrt(-1)", "Pow(0, 0)", "Ln(0)", "ArcCosD(5)"};
    for (const char* script : scripts) {
        Value v;
        EXPECT_EQ(Eval(script, v, kCheck), 1) << script;
        EXPECT_EQ(parser.errorText, "") << script;
    }
    Value v;
    ASSERT_EQ(Eval("1 / 0", v, kCheck), 1);
    EXPECT_EQ(v.type, kTypeInteger);
    EXPECT_EQ(v.value.integer, 1);
    ASSERT_EQ(Eval("1 / 0.0", v, kCheck), 1);
    EXPECT_EQ(v.type, kTypeFloat);
    ASSERT_EQ(Eval("Sqrt(-1)", v, kCheck), 1);
    EXPECT_EQ(v.type, kTypeFloat);
    EXPECT_EQ(v.value.number, 0.0);
    // functions without a test are computed in both passes
    ASSERT_EQ(Eval("CosR(0) + Abs(-2)", v, kCheck), 1);
    EXPECT_DOUBLE_EQ(v.value.number, 3.0);
}

TEST_F(ExpressionTest, NotANumberDividesWithoutError) {
    Value v;
    ASSERT_EQ(Eval("1 / Pow(-8, 0.5)", v), 1);
    EXPECT_TRUE(std::isnan(v.value.number));
}

TEST_F(ExpressionTest, BuiltInValuesAreLiterals) {
    Value v;
    ASSERT_EQ(Eval("True + 1", v), 1);
    EXPECT_EQ(v.type, kTypeInteger);
    EXPECT_EQ(v.value.integer, 2);
    ASSERT_EQ(Eval("False * 5 + Yes", v, kCheck), 1);
    EXPECT_EQ(v.value.integer, 1);
}

TEST_F(ExpressionTest, NetworkVariablesAreHandedToTheExtension) {
    parser.objectVariables["net"] = 0;
    Value v;
    // the test extension evaluates no member: its failure is the expression's
    EXPECT_EQ(Eval("1 + net", v), 0);
    parser.objectVariables.clear();
}

TEST_F(ExpressionTest, EndOfTextBeforeAnExpressionFailsWithoutMessage) {
    Value v;
    EXPECT_EQ(Eval("   ", v), 0);
    EXPECT_EQ(parser.errorText, "");
    EXPECT_EQ(parser.runState, kRunning);
}

TEST_F(ExpressionTest, UnknownWordInsideASubroutineCheckIsFloatZero) {
    Value v;
    Prepare("zork + 1", kCheck);
    parser.inSubroutine = 1;
    ASSERT_EQ(parser.ReadExpression2(v), 1);
    EXPECT_EQ(v.type, kTypeFloat);
    EXPECT_EQ(v.value.number, 1.0);
}

TEST_F(ExpressionTest, ALevelStopsBeforeAWordThatIsNotItsOperator) {
    Value v;
    ASSERT_EQ(Eval("1 + 2 Then", v), 1);
    EXPECT_EQ(v.value.integer, 3);
    EXPECT_EQ(parser.ReadToken(), FindKeyword("Then"));
}

TEST_F(ExpressionTest, DeepNestingIsReportedNotOverflowed) {
    std::string deep(2000, '(');
    deep += "1";
    deep += std::string(2000, ')');
    Value v;
    EXPECT_EQ(Eval(deep, v), 0);
    EXPECT_EQ(parser.errorText, " Runtime Error : Nesting Too Deep.");
    EXPECT_EQ(parser.nestingDepth, 0);

    std::string chain = "2";
    for (int i = 0; i < 2000; ++i) chain += " ^ 1";
    EXPECT_EQ(Eval(chain, v), 0);
    EXPECT_EQ(parser.errorText, " Runtime Error : Nesting Too Deep.");
    EXPECT_EQ(parser.nestingDepth, 0);
}

TEST_F(ExpressionTest, StopRequestEndsTheExpressionSilently) {
    Value v;
    Prepare("1 / 0", kRun);
    ASSERT_EQ(parser.ReadToken(), token::kNumber);
    parser.UngetToken();
    view.stopRequested = 1;
    EXPECT_EQ(parser.ReadExpression2(v), 0);
    EXPECT_EQ(parser.runState, kStoppedByUser);
    EXPECT_EQ(view.Selections().size(), 0u);
    view.stopRequested = 0;
}

// ------------------------------------------------------------------ variables

TEST_F(ExpressionTest, VariableOperandsCopyTheElement) {
    Prepare("i * 2 + f", kRun);
    DeclareScalar("i", kTypeInteger).value.integer = 21;
    DeclareScalar("f", kTypeFloat).value.number = 0.5;
    Value v;
    ASSERT_EQ(parser.ReadExpression2(v), 1);
    EXPECT_EQ(v.type, kTypeFloat);
    EXPECT_DOUBLE_EQ(v.value.number, 42.5);
    EXPECT_EQ(v.name, "i");

    Prepare("a[2] + a[3]", kRun);
    parser.DeclareVariable("a", kTypeInteger, 3, 0, 0);
    const int first = parser.FindVariable("a");
    parser.variables[first + 1].value.integer = 5;
    parser.variables[first + 2].value.integer = 7;
    ASSERT_EQ(parser.ReadExpression2(v), 1);
    EXPECT_EQ(v.value.integer, 12);
    EXPECT_EQ(v.index, 2);
    EXPECT_EQ(v.count, 3);
}

TEST_F(ExpressionTest, FileOperandsLeaveTheLeftValueUnchanged) {
    const char* scripts[] = {"h + 1", "h - 1", "h * 2", "h / 0", "'a' + h"};
    for (const char* script : scripts) {
        Prepare(script, kRun);
        DeclareScalar("h", kTypeFile);
        Value v;
        EXPECT_EQ(parser.ReadExpression2(v), 1) << script;
        EXPECT_EQ(parser.errorText, "") << script;
    }
    Prepare("'a' + h", kRun);
    DeclareScalar("h", kTypeFile);
    Value v;
    ASSERT_EQ(parser.ReadExpression2(v), 1);
    EXPECT_EQ(v.Text(), "a");
}

TEST_F(ExpressionTest, OperationsWithoutADefinedResultAreRefused) {
    struct Case {
        const char* script;
        const char* message;
        const char* selected;
    };
    const Case cases[] = {
        {"1 + h", " Syntax Error : Can not use '+' here.", "+"},
        {"2.5 + m", " Syntax Error : Can not use '+' here.", "+"},
        {"h Mod 2", kModStrings, "Mod"},
        {"m Mod 2", kModStrings, "Mod"},
        {"-m", kMinusHere, "-"},
        {"-h", kMinusHere, "-"},
        {"m ^ 2", kPowerStrings, "2"},
        {"2 ^ h", kPowerStrings, "h"},
        {"Sqrt(m)", kNotNumeric, "m"},
        {"RGB(h, 0, 0)", kNotNumeric, "h"},
        {"INT(m)", kNotNumeric, "m"},
    };
    for (const Case& c : cases) {
        Prepare(c.script, kCheck);
        DeclareScalar("h", kTypeFile);
        DeclareMatrix("m", 2, 2, {});
        Value v;
        EXPECT_EQ(parser.ReadExpression2(v), 0) << c.script;
        EXPECT_EQ(parser.errorText, c.message) << c.script;
        EXPECT_EQ(Selected(), c.selected) << c.script;
    }
}

// ------------------------------------------------------------------ conditions

struct ConditionCase {
    const char* script;
    int result;
};

class ConditionResults : public ExpressionTest, public ::testing::WithParamInterface<ConditionCase> {};

TEST_P(ConditionResults, GiveTheirTruthValue) {
    int result = -1;
    ASSERT_EQ(Condition(GetParam().script, result), 1) << GetParam().script << ": " << parser.errorText;
    EXPECT_EQ(result, GetParam().result) << GetParam().script;
}

INSTANTIATE_TEST_SUITE_P(
    Comparisons, ConditionResults,
    ::testing::Values(ConditionCase{"1 = 1", 1}, ConditionCase{"1 = 2", 0}, ConditionCase{"1 < 2", 1},
                      ConditionCase{"2 > 1", 1}, ConditionCase{"2 <= 2", 1}, ConditionCase{"2 >= 3", 0},
                      ConditionCase{"2 <> 2", 0}, ConditionCase{"1.5 > 1", 1}, ConditionCase{"3 = 3.0", 1},
                      ConditionCase{"'abc' < 'abd'", 1}, ConditionCase{"'' = ''", 1}, ConditionCase{"'b' > 'a'", 1},
                      ConditionCase{"'ab' < 'a'", 0}, ConditionCase{"'a' <> 'A'", 1},
                      ConditionCase{"'\xE9' > 'z'", 1},  // bytes compare unsigned
                      ConditionCase{"1 + 1 = 4 / 2", 1}, ConditionCase{"'x' + 1 = 'x1'", 1}));

INSTANTIATE_TEST_SUITE_P(
    TruthValues, ConditionResults,
    ::testing::Values(ConditionCase{"1", 1}, ConditionCase{"0", 0}, ConditionCase{"0.0", 0}, ConditionCase{"-0.5", 1},
                      ConditionCase{"'x'", 1}, ConditionCase{"''", 0}, ConditionCase{"NOT 0", 1},
                      ConditionCase{"NOT 'x'", 0}));

INSTANTIATE_TEST_SUITE_P(
    Chains, ConditionResults,
    ::testing::Values(ConditionCase{"NOT 1 = 2 And 0", 0}, ConditionCase{"NOT 1 = 2 And 1", 1},
                      ConditionCase{"1 = 1 Or 0", 1}, ConditionCase{"1 And 1 And 0", 0},
                      // the chain groups from the right: 0 And (1 Or 1)
                      ConditionCase{"0 And 1 Or 1", 0},
                      // NOT covers only its own comparison
                      ConditionCase{"NOT 1 = 1 Or 1", 1}, ConditionCase{"1 Or NOT 1", 1},
                      ConditionCase{"1 < 2 And 'a' = 'a'", 1}));

TEST_F(ExpressionTest, ConditionsEvaluateBothSidesOfAChain) {
    int result = -1;
    EXPECT_EQ(Condition("0 And 1 / 0 = 1", result), 0);
    EXPECT_EQ(parser.errorText, kDivideByZero);
    crt::Srand(1);
    Prepare("1 Or RND(32766) = 0", kRun);
    ASSERT_EQ(parser.EvaluateCondition(result), 1);
    EXPECT_EQ(crt::Rand(), 18467);  // the right side drew once
}

TEST_F(ExpressionTest, ConditionLeavesTheWordAfterIt) {
    int result = -1;
    ASSERT_EQ(Condition("1 < 2 Then", result), 1);
    EXPECT_EQ(parser.ReadToken(), FindKeyword("Then"));
}

TEST_F(ExpressionTest, ConditionErrors) {
    int result = -1;
    EXPECT_EQ(Condition("'a' = 1", result), 0);
    EXPECT_EQ(parser.errorText, kCompare);
    EXPECT_EQ(Condition("2 < 'a'", result), 0);
    EXPECT_EQ(parser.errorText, kCompare);
    Prepare("m = m", kCheck);
    DeclareMatrix("m", 1, 1, {});
    EXPECT_EQ(parser.EvaluateCondition(result), 0);
    EXPECT_EQ(parser.errorText, kNotNumeric);
    Prepare("1 = m", kCheck);
    DeclareMatrix("m", 1, 1, {});
    EXPECT_EQ(parser.EvaluateCondition(result), 0);
    EXPECT_EQ(parser.errorText, kNotNumeric);
}

// ------------------------------------------------------------------ matrix operands

class MatrixOperandTest : public ExpressionTest {
protected:
    // m: 3 x 2 holding 1 .. 6 row by row; v: 1 x 3; w: 3 x 1; h: 2 x 2 with 2.5 and 3.0.
    void PrepareMatrices(const std::string& script, int executeFlag) {
        Prepare(script, executeFlag);
        DeclareMatrix("m", 3, 2, {1, 2, 3, 4, 5, 6});
        DeclareMatrix("v", 1, 3, {7, 8, 9});
        DeclareMatrix("w", 3, 1, {10, 20, 30});
        DeclareMatrix("h", 2, 2, {2.5, 3.0, -1, 0});
        DeclareMatrix("n", 2, 4, {1, 0, 0, 1, 0, 1, 1, 0});
    }
    int Evaluate(const std::string& script, Value& v, int executeFlag = kRun) {
        PrepareMatrices(script, executeFlag);
        return parser.ReadExpression2(v);
    }
};

struct MatrixCase {
    const char* script;
    int rows;
    int cols;
    std::vector<double> elements;
};

class MatrixResults : public MatrixOperandTest, public ::testing::WithParamInterface<MatrixCase> {};

TEST_P(MatrixResults, HaveTheirShapeAndElements) {
    const MatrixCase& c = GetParam();
    Value v;
    ASSERT_EQ(Evaluate(c.script, v), 1) << c.script << ": " << parser.errorText;
    ASSERT_EQ(v.type, kTypeMatrix) << c.script;
    EXPECT_EQ(v.value.matrix->GetRows(), c.rows) << c.script;
    EXPECT_EQ(v.value.matrix->GetCols(), c.cols) << c.script;
    EXPECT_EQ(Elements(*v.value.matrix), c.elements) << c.script;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, MatrixResults,
    ::testing::Values(MatrixCase{"m", 3, 2, {1, 2, 3, 4, 5, 6}}, MatrixCase{"m[2]", 1, 2, {3, 4}},
                      MatrixCase{"m[2][]", 1, 2, {3, 4}}, MatrixCase{"m[][2]", 3, 1, {2, 4, 6}},
                      MatrixCase{"m[1 + 1][]", 1, 2, {3, 4}}, MatrixCase{"v[1]", 1, 3, {7, 8, 9}},
                      MatrixCase{"w[][1]", 3, 1, {10, 20, 30}}));

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, MatrixResults,
    ::testing::Values(MatrixCase{"m + m", 3, 2, {2, 4, 6, 8, 10, 12}}, MatrixCase{"m - m", 3, 2, {0, 0, 0, 0, 0, 0}},
                      MatrixCase{"m + 1", 3, 2, {2, 3, 4, 5, 6, 7}}, MatrixCase{"m - 0.5", 3, 2, {0.5, 1.5, 2.5, 3.5, 4.5, 5.5}},
                      MatrixCase{"m * 2", 3, 2, {2, 4, 6, 8, 10, 12}}, MatrixCase{"m / 2", 3, 2, {0.5, 1, 1.5, 2, 2.5, 3}},
                      MatrixCase{"m * n", 3, 4, {1, 2, 2, 1, 3, 4, 4, 3, 5, 6, 6, 5}},
                      MatrixCase{"w * v", 3, 3, {70, 80, 90, 140, 160, 180, 210, 240, 270}},
                      MatrixCase{"v * w", 1, 1, {500}}, MatrixCase{"m[2] + m[3]", 1, 2, {8, 10}},
                      MatrixCase{"(m + 1) * 2", 3, 2, {4, 6, 8, 10, 12, 14}}));

TEST_F(MatrixOperandTest, ElementsAreNumbersOfTheirOwnKind) {
    struct Case {
        const char* script;
        int type;
        double value;
        int form;
    };
    const Case cases[] = {
        {"m[2][1]", kTypeInteger, 3, 1}, {"m[3][2]", kTypeInteger, 6, 1}, {"v[][2]", kTypeInteger, 8, 1},
        {"w[2]", kTypeInteger, 20, 1},   {"h[1][1]", kTypeFloat, 2.5, 1}, {"h[1][2]", kTypeInteger, 3, 1},
        {"h[2][1]", kTypeInteger, -1, 1},
    };
    for (const Case& c : cases) {
        PrepareMatrices(c.script, kRun);
        ASSERT_EQ(parser.ReadToken(), token::kVariable) << c.script;
        Value v;
        EXPECT_EQ(parser.EvaluateMatrixOperand(v, parser.variableIndex), c.form) << c.script;
        EXPECT_EQ(v.type, c.type) << c.script;
        EXPECT_DOUBLE_EQ(v.AsDouble(), c.value) << c.script;
    }
}

TEST_F(MatrixOperandTest, OperandFormsReturnTheirKind) {
    struct Case {
        const char* script;
        int form;
    };
    const Case cases[] = {{"m", 4}, {"m[2]", 2}, {"m[2][]", 2}, {"m[][1]", 3}, {"m[1][1]", 1}, {"v[1]", 2}, {"w[][1]", 3}};
    for (const Case& c : cases) {
        PrepareMatrices(c.script, kRun);
        ASSERT_EQ(parser.ReadToken(), token::kVariable);
        Value v;
        EXPECT_EQ(parser.EvaluateMatrixOperand(v, parser.variableIndex), c.form) << c.script;
        EXPECT_EQ(v.name, c.script[0] == 'm' ? "m" : c.script[0] == 'v' ? "v" : "w");
    }
}

TEST_F(MatrixOperandTest, AccessOutsideTheMatrixReportsTheMatrixText) {
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"m[4][1]", "Error: Accesing invalid row in maxtrix \"m\". "},
        {"m[0][1]", "Error: Accesing invalid row in maxtrix \"m\". "},
        {"m[1][3]", "Error: Accesing invalid column in maxtrix \"m\". "},
        {"m[-2147483647 - 1][1]", "Error: Accesing invalid row in maxtrix \"m\". "},
        {"m[5]", "Error: Accesing invalid row in maxtrix \"m\". "},
        {"m[][9]", "Error: Accesing invalid column in maxtrix \"m\". "},
        {"v[2]", "Error: Accesing invalid row in maxtrix \"v\". "},
        {"1 + w[4]", "Error: Accesing invalid row in maxtrix \"w\". "},
    };
    for (const Case& c : cases) {
        Value v;
        EXPECT_EQ(Evaluate(c.script, v, kRun), 0) << c.script;
        EXPECT_EQ(parser.errorText, c.message) << c.script;
        EXPECT_EQ(parser.runState, kEndedByError) << c.script;
    }
}

TEST_F(MatrixOperandTest, TheCheckPassKnowsShapesButReadsNoElement) {
    Value v;
    ASSERT_EQ(Evaluate("m[9][9]", v, kCheck), 1);
    EXPECT_EQ(v.type, kTypeInteger);
    EXPECT_EQ(v.value.integer, 0);
    ASSERT_EQ(Evaluate("m", v, kCheck), 1);
    EXPECT_EQ(Elements(*v.value.matrix), std::vector<double>(6, 0.0));
    EXPECT_EQ(v.value.matrix->GetName(), "m");
    ASSERT_EQ(Evaluate("m * n", v, kCheck), 1);
    EXPECT_EQ(v.value.matrix->GetRows(), 3);
    EXPECT_EQ(v.value.matrix->GetCols(), 4);
    ASSERT_EQ(Evaluate("m + ''", v, kCheck), 1);
    EXPECT_EQ(v.Text(), "");
}

TEST_F(MatrixOperandTest, MatricesBecomeTextAfterAString) {
    Value v;
    ASSERT_EQ(Evaluate("'M:' + h", v), 1);
    EXPECT_EQ(v.Text(), "M:2.5\t3\r\n-1\t0");
    ASSERT_EQ(Evaluate("v + '!'", v), 1);
    EXPECT_EQ(v.Text(), "7\t8\t9!");
}

TEST_F(MatrixOperandTest, DivisionByAWrittenZeroIsTestedInBothPasses) {
    Value v;
    EXPECT_EQ(Evaluate("m / 0", v, kCheck), 0);
    EXPECT_EQ(parser.errorText, kDivideByZero);
    EXPECT_EQ(Evaluate("m / 0", v, kRun), 0);
    EXPECT_EQ(parser.errorText, kDivideByZero);
    EXPECT_EQ(Evaluate("m / 0.0", v, kRun), 0);
    EXPECT_EQ(parser.errorText, kDivideByZero);
}

TEST_F(MatrixOperandTest, TypeAndShapeErrorsInBothPasses) {
    struct Case {
        const char* script;
        const char* message;
        const char* selected;
    };
    const Case cases[] = {
        {"m * m", kMismatch, "m"},
        {"m + v", kMismatch, "v"},
        {"m - w", kMismatch, "w"},
        {"m / m", kDivideStrings, "m"},
        {"2 * m", kTimesStrings, "2"},
        {"m * 'a'", kTimesStrings, "m"},
        {"m / 'a'", kDivideStrings, "m"},
        {"2 / m", kDivideStrings, "2"},
        {"m - 'a'", kMinusHere, "-"},
        {"1 - m", kMinusHere, "-"},
        {"m[1.5][1]", kMustBeInteger, "1.5"},
        {"m[1]['a']", kMustBeInteger, "'"},
        {"m[1][1", "   Expected :  \"  ]  \"   ", "1"},
        {"m[][1", "   Expected :  \"  ]  \"   ", "1"},
        {"m[] 1", "   Expected :  \"  [  \"   ", "1"},
    };
    for (int pass : {kCheck, kRun}) {
        for (const Case& c : cases) {
            Value v;
            EXPECT_EQ(Evaluate(c.script, v, pass), 0) << c.script;
            const std::string shown = pass == kCheck ? view.Pane() : parser.errorText;
            EXPECT_EQ(shown, c.message) << c.script << " pass " << pass;
            EXPECT_EQ(Selected(), c.selected) << c.script;
        }
    }
}

// ------------------------------------------------------------------ matrix assignment

using MatrixAssignmentTest = ExpressionTest;

TEST_F(MatrixAssignmentTest, LiteralsFillTheRegion) {
    struct Case {
        const char* script;
        int rows, cols;
        int rowFrom, rowTo, colFrom, colTo;
        std::vector<double> elements;
    };
    const Case cases[] = {
        {"[1, 2, 3]", 1, 3, 0, 1, 0, 3, {1, 2, 3}},
        {"[1; 2; 3]", 1, 3, 0, 1, 0, 3, {1, 2, 3}},
        {"[1, 2; 3, 4]", 2, 2, 0, 2, 0, 2, {1, 2, 3, 4}},
        {"[1; 2, 3; 4]", 2, 2, 0, 2, 0, 2, {1, 2, 3, 4}},
        {"[0.5, -2]", 2, 2, 1, 2, 0, 2, {0, 0, 0.5, -2}},  // one row
        {"[7]", 2, 2, 0, 1, 1, 2, {0, 7, 0, 0}},          // one element, bracketed
        {"7 + 1", 2, 2, 1, 2, 1, 2, {0, 0, 0, 8}},       // one element, bare
        {"[1 + 1, 2 * 3, Abs(-4)]", 1, 3, 0, 1, 0, 3, {2, 6, 4}},
    };
    for (const Case& c : cases) {
        for (int pass : {kCheck, kRun}) {  // the stores happen in both passes
            Prepare(c.script, pass);
            CMatrix& m = DeclareMatrix("t", c.rows, c.cols, {});
            ASSERT_EQ(parser.AssignMatrix(m, c.rowFrom, c.rowTo, c.colFrom, c.colTo, 0), 1)
                << c.script << ": " << parser.errorText;
            EXPECT_EQ(Elements(m), c.elements) << c.script;
            EXPECT_EQ(parser.ReadToken(), token::kEnd) << c.script;
        }
    }
}

TEST_F(MatrixAssignmentTest, LiteralErrors) {
    struct Case {
        const char* script;
        int rowFrom, rowTo, colFrom, colTo, integerOnly;
        const char* message;
    };
    const Case cases[] = {
        {"[1 2 3]", 0, 1, 0, 3, 0, kSeparator},
        {"[1, 2 3, 4]", 0, 2, 0, 2, 0, kSeparator},
        {"[1, 2, 3, 4", 0, 2, 0, 2, 0, "   Expected :  \"  ]  \"   "},
        {"[1, 2, 3]", 0, 2, 0, 2, 0, kSeparator},
        {"[1, 'a']", 0, 1, 0, 2, 0, kStringsNotAllowed},
        {"[1.5, 2]", 0, 1, 0, 2, 1, kMustBeInteger},
        {"[1, 2]", 2, 3, 0, 2, 0, " Runtime Error : Setting invalid row number."},
        {"[1, 2]", 0, 1, 1, 3, 0, " Runtime Error : Setting invalid column number."},
        {"[1]", -1, 0, 0, 1, 0, " Runtime Error : Setting invalid row number."},
        {"5", 2, 3, 0, 1, 0, " Runtime Error : Setting invalid row number."},
        {"5", 0, 2, 0, 2, 0, "   Expected :  \"  [  \"   "},
        {"'a'", 0, 1, 0, 1, 0, " Syntax Error : Cannot transfer result to the matrix."},
        {"h", 0, 1, 0, 1, 0, " Syntax Error : Cannot transfer result to the matrix."},
        {"v", 0, 2, 0, 2, 0, kMismatch},
        {"RANDOM_ELEMENTS(1, 'a')", 0, 2, 0, 2, 0, kStringsNotAllowed},
        {"RANDOM_ELEMENTS 1, 2", 0, 2, 0, 2, 0, "   Expected :  \"  (  \"   "},
        {"RANDOM_ELEMENTS(1 2)", 0, 2, 0, 2, 0, "   Expected :  \"  ,  \"   "},
    };
    for (const Case& c : cases) {
        Prepare(c.script, kRun);
        DeclareMatrix("t", 2, 2, {});
        DeclareScalar("h", kTypeFile);
        DeclareMatrix("v", 1, 3, {});
        CMatrix& target = *parser.variables[parser.FindVariable("t")].value.matrix;
        EXPECT_EQ(parser.AssignMatrix(target, c.rowFrom, c.rowTo, c.colFrom, c.colTo, c.integerOnly), 0) << c.script;
        EXPECT_EQ(parser.errorText, c.message) << c.script;
    }
}

TEST_F(MatrixAssignmentTest, AMatrixOfTheSameSizeIsCopiedWithItsName) {
    Prepare("s * 2", kRun);
    DeclareMatrix("t", 2, 2, {});
    DeclareMatrix("s", 2, 2, {1, 2, 3, 4});
    CMatrix& target = *parser.variables[parser.FindVariable("t")].value.matrix;
    ASSERT_EQ(parser.AssignMatrix(target, 0, 1, 0, 2, 0), 1);  // a row region still copies the whole
    EXPECT_EQ(Elements(target), (std::vector<double>{2, 4, 6, 8}));
    EXPECT_EQ(target.GetName(), "s");
}

TEST_F(MatrixAssignmentTest, RandomElementsFillTheWholeMatrixFromLowToHigh) {
    Prepare("RANDOM_ELEMENTS(5, 1)", kRun);
    CMatrix& m = DeclareMatrix("t", 3, 4, {});
    crt::Srand(1);
    ASSERT_EQ(parser.AssignMatrix(m, 0, 1, 0, 1, 0), 1);  // the region does not limit the fill
    crt::Srand(1);
    for (double e : Elements(m)) {
        const double expected = 1.0 + crt::Rand() * 4.0 / 32767.0;
        EXPECT_DOUBLE_EQ(e, expected);
        EXPECT_GE(e, 1.0);
        EXPECT_LE(e, 5.0);
    }

    Prepare("RANDOM_ELEMENTS(0, 10)", kRun);
    CMatrix& whole = DeclareMatrix("t", 2, 2, {});
    crt::Srand(1);
    ASSERT_EQ(parser.AssignMatrix(whole, 0, 2, 0, 2, 1), 1);
    // 41, 18467, 6334, 26500 from seed 1, scaled to 0 .. 10 and truncated
    EXPECT_EQ(Elements(whole), (std::vector<double>{0, 5, 1, 8}));
}

TEST_F(MatrixAssignmentTest, RandomElementsDrawNothingInTheCheckPass) {
    Prepare("RANDOM_ELEMENTS(0, 10)", kCheck);
    CMatrix& m = DeclareMatrix("t", 2, 2, {});
    crt::Srand(1);
    ASSERT_EQ(parser.AssignMatrix(m, 0, 2, 0, 2, 0), 1);
    EXPECT_EQ(Elements(m), std::vector<double>(4, 0.0));
    EXPECT_EQ(crt::Rand(), 41);
}

// ------------------------------------------------------------------ check-pass reading

TEST_F(ExpressionTest, BracketListsAreCheckedWithTheRunsSeparatorRule) {
    struct Case {
        const char* script;
        const char* message;  // "" for success
    };
    const Case cases[] = {
        {"[]", ""},
        {"[1, 2; 3, 4]", ""},
        {"[1; 2; 3]", ""},
        {"[x, 2.5]", ""},
        {"RANDOM_ELEMENTS(1, 2.5)", ""},
        {"x + 1", ""},
        {"s", ""},
        {"s[2] * 3", ""},
        {"s[][1] + s[1][2]", ""},
        {"[1 2]", kSeparator},
        {"[1, 2;; 3, 4]", " Syntax Error : Can not evaluate this EXPRESSION."},
        {"['a']", kStringsNotAllowed},
        {"'a'", kStringsNotAllowed},
        {"RANDOM_ELEMENTS(1, 'a')", kStringsNotAllowed},
        {"RANDOM_ELEMENTS 1", "   Expected :  \"  (  \"   "},
        {"[1, 2", "   Expected :  \"  ]  \"   "},
        {"s[1.5]", kMustBeInteger},
    };
    for (const Case& c : cases) {
        Prepare(c.script, kCheck);
        DeclareScalar("x", kTypeInteger);
        DeclareMatrix("s", 2, 2, {});
        const int ok = parser.ParseBracketList();
        if (*c.message == '\0') {
            EXPECT_EQ(ok, 1) << c.script << ": " << parser.errorText;
            EXPECT_EQ(parser.ReadToken(), token::kEnd) << c.script;
        } else {
            EXPECT_EQ(ok, 0) << c.script;
            EXPECT_EQ(view.Pane(), c.message) << c.script;
        }
    }
}

TEST_F(ExpressionTest, ParseMatrixIndexReturnsTheIndicesAsWritten) {
    Prepare("[0][-3 + 1] x", kCheck);
    int row = 9, col = 9;
    ASSERT_EQ(parser.ParseMatrixIndex(row, col), 1);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(col, -2);
    Prepare("[2.0][1]", kCheck);
    EXPECT_EQ(parser.ParseMatrixIndex(row, col), 0);
    EXPECT_EQ(view.Pane(), kMustBeInteger);
    Prepare("2][1]", kCheck);
    EXPECT_EQ(parser.ParseMatrixIndex(row, col), 0);
    EXPECT_EQ(view.Pane(), "   Expected :  \"  [  \"   ");
}

}  // namespace
