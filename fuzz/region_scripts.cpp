// Whole scripts run as the editor runs them, once with compiled regions and once word by word:
// both runs must leave exactly the same (pane, highlighted words, run state, error text, word
// history, every element of every variable). The input bytes steer a generator of scripts made
// of declarations, For, While and Do loops nested a few deep, If branches, subroutines that call
// each other (and one that recurses, to the nesting limit at times), assignments to scalars,
// array and matrix elements, the variable table's grow step, and the words that end a run part
// way: guards that fire at a later pass, Exit, StopProgram, ExitSub, misplaced words. Some scripts
// run on the interpreter with the network extension, and read and set members of its networks.
// Expressions mix Integer, Float and String operands and every built-in function (arguments that
// leave a function's range at a later pass, Strings and whole matrices where they are refused);
// conditions chain comparisons of numbers and of texts with And, Or and NOT; Print and Println
// stand in loops; String variables and elements are joined in place. Float expressions long
// enough for typed code put constants and variables side by side in both orders, cut Floats that
// move by halves with INT and RGB (in texts too), and give Pow a base that reaches zero and
// exponents below one; a subroutine meets a name as an Integer in one call and a Float in the next. The user presses Stop, or
// Pause and Resume, when the run has printed a chosen number of texts, or Pause a moment later
// wherever the run is then (part way through a loop's pass, in an If inside an If).
//
// Misplaced words stand mostly where the check pass does not read (a body that the first pass
// of its enclosing loop skips), so that the run meets them at a later pass.
//
// Every script ends quickly: loop counters are written only by their own loop, and bounds are
// small numbers, the counters of enclosing loops and `z` (a constant of the run); subroutines
// call only later ones; the work of the loops and calls is estimated and kept under a budget;
// an expression joins at most one String variable, so that no text doubles in a loop. No word
// waits (Sleep is of 0 ms) or shows a dialog.
//
// Some scripts write and read files in the fuzzer's scratch folder (emptied before each run; the
// files a run leaves are part of what it leaves): texts written with FileWriteString, lines read
// with FileReadString into Strings and numbers, counts that fall below one at a later pass, files
// opened again for the other direction, closed in a loop, never opened, reads past the end, and
// (where the check pass does not read) variables that are no File.
//
// KESTRUM_SHOW_SCRIPT=1 prints every script and what it leaves (to see what an input makes).
// KESTRUM_SCRIPT_FILE=path compares that script instead of a written one (with the test
// interpreter, stopped and paused at the prints KESTRUM_STOP_AT and KESTRUM_PAUSE_AT name, if any):
// a reproducer found by hand or cut down from a report runs as the fuzzer runs it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/byte_choices.h"
#include "fuzz/comparison_memory_cap.h"
#include "fuzz/interrupted_run.h"
#include "fuzz/scratch_file.h"
#include "netscript/loriant_parser.h"

namespace {

constexpr int kWorkBudget = 1500;  // statements run, estimated, per script
constexpr int kMaxDepth = 4;       // nested blocks
constexpr int kMaxSubroutines = 3;

const char* const kSeparators[] = {" : ", " ; ", "\n", "\n\t", " ", ":", "\r\n", "\n  ", " :\n", "\t;\t"};
const char* const kOperators[] = {"+", "-", "*", "/", "Mod", "^", "+", "-", "*"};
const char* const kComparisons[] = {"=", "<", ">", "<=", ">=", "<>"};
const char* const kIntegers[] = {"0", "1", "2", "3", "5", "7", "10", "2147483647"};
const char* const kFloats[] = {"0.5", "1.5", ".25", "2.75", "0.1"};
// Float scalars: those of the main statements, and w, which W's callers declare (an Integer at times).
const char* const kFloatNames[] = {"x", "y", "w"};
// Between Float operands (no division: x and y start at zero, and most runs would end at once).
const char* const kFloatOperators[] = {"-", "+", "*", "-"};
const char* const kTexts[] = {"'ab'", "\"x y\"", "''", "'item b'", "\"7\"", "'1.5z'", "'\\t'", "'net Bias item'", "' -2e3'", "'99999999999'"};
// Network members as operands: those read by their word alone, then (where misplaced words may
// stand) a member that reads on, no member, a logical network's, an array's, a misspelled one.
const char* const kMembers[] = {"net.Bias", "net.InputsNumber", "net.LayersNumber", "other.Bias",
                                "net.Output",  "net.Simulate",     "ram.Bias",         "nets.Bias", "net.Biass"};
constexpr int kReadableMembers = 4;
// Words a run meets where it cannot go on; each is read by the run only (no EndSub or Subroutin:
// the pre-scan of the whole text would refuse them before any run).
const char* const kMisplaced[] = {"Prnt k",       "k = (k + 1",     "Print (k",      "Wend",       "Endif",
                                  "Else",         "Else Else",      "m[1][1] = s",   "x = s - 1",  "Integer n",
                                  "Call Nope",    "x = m",          "If s = 2 Then", "k = a",      "n = a[1.5]",
                                  "}",            "k = t[0]",       "x = 1 / 0",     "x = ",       "Endif Endif",
                                  "x = Sqrt 4",   "k = INT(2",      "k = RGB(1, 2)", "x = Pow(2)", "If s < 1 Then Endif",
                                  "x = Ln(s)",    "Print Abs(",     "x = ArcSinD(m)"};

struct Variable {
    std::string name;
    int type;      // kTypeInteger, kTypeFloat, kTypeString, kTypeMatrix
    int count;     // elements of an array; 1 for a scalar
    int rows = 0;  // a matrix's size
    int cols = 0;
};

class ScriptWriter {
public:
    ScriptWriter(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

    std::string Write() {
        const int byte = Next();
        const int mode = byte % 8;
        network_ = byte / 8 % 3 == 0;
        files_ = byte / 24 % 3 == 0;
        guarded_ = mode < 4;
        sloppy_ = mode == 0;
        const int interrupt = Next();
        moments_.stopAt = interrupt % 3 == 0 ? 1 + Next() % 8 : 0;
        moments_.pauseAt = interrupt / 3 % 3 == 0 ? 1 + Next() % 8 : 0;
        moments_.pauseMicroseconds = Next() * 4;
        moments_.pauseDelayMicroseconds = moments_.pauseAt > 0 && Chance(2) ? 1 + Next() * 8 : 0;
        z_ = Next() % 8;
        const std::string filler = Filler();
        scopes_.push_back({{"n", kTypeInteger, 1}, {"k", kTypeInteger, 1}, {"x", kTypeFloat, 1},
                           {"y", kTypeFloat, 1},   {"s", kTypeString, 1},  {"t", kTypeString, 1}});
        arraySize_ = 2 + Next() % 4;
        scopes_.back().push_back({"a", kTypeInteger, arraySize_});
        gSize_ = 2 + Next() % 3;
        scopes_.back().push_back({"g", kTypeFloat, gSize_});
        scopes_.back().push_back({"u", kTypeString, 2 + Next() % 3});
        scopes_.back().push_back({"m", kTypeMatrix, 1, 1 + Next() % 3, 1 + Next() % 3});
        arrays_ = ArrayDeclarations();
        const int subroutines = Next() % (kMaxSubroutines + 1);
        const bool recursive = Next() % 3 == 0;
        // Later subroutines first: a body calls only those already written.
        std::vector<std::string> bodies(static_cast<std::size_t>(subroutines));
        for (int k = subroutines; k >= 1; --k) bodies[static_cast<std::size_t>(k - 1)] = Subroutine(k, recursive);
        if (recursive) Recursive();
        if (Chance(2)) Typed();
        callable_ = 1;
        std::string main;
        const int place = Next() % 3;  // subroutines before, among or after the main statements
        if (place == 0)
            for (const std::string& body : bodies) main += body;
        for (int k = 0; !bytes_.UsedUp() && k < 40; ++k) {
            main += Statement();
            if (place == 1 && k == 1)
                for (const std::string& body : bodies) main += body;
        }
        if (place == 2)
            for (const std::string& body : bodies) main += body;
        for (const std::string& body : trailingBodies_) main += body;
        return Declarations() + filler + main;
    }

    // The script is for the interpreter with the network extension.
    bool Network() const { return network_; }
    // When the user stops or pauses its run.
    const Interruptions& Moments() const { return moments_; }

private:
    int Next() { return bytes_.Next(); }
    bool Chance(int outOf) { return Next() % outOf == 0; }
    const char* Separator() { return Pick(kSeparators, Next()); }

    // At times separators enough to bring the main statements to the end of the word history
    // (top-level words stay in it; a loop's pass gives back what it used). Only a byte of 255 asks
    // for it: a used-up input reads 0s, and short inputs (the fuzzer's first) would otherwise
    // take it every time.
    std::string Filler() {
        static const int kSpare[] = {400, 120, 60, 30, 10, 0, -40};
        if (Next() != 255) return "";  // a long text: about a second a script
        std::string out;
        const int words = CTesselParser::kHistoryLast - kSpare[Next() % 7];
        out.reserve(static_cast<std::size_t>(words) * 2);
        for (int k = 0; k < words; ++k) out += ": ";
        return out;
    }

    // Top-level declarations of the data variables and of every loop's counter, then z's value.
    std::string Declarations() {
        std::string out = "Integer n, k, z, r, q";
        for (const std::string& c : counters_) out += ", " + c;
        out += Separator();
        out += "Float x, y";
        for (const std::string& f : floatCounters_) out += ", " + f;
        out += Separator();
        out += "String s, t";
        if (files_) out += Separator() + std::string("File f, h") + Separator() + Opening("f");
        if (network_) {
            out += Separator() + std::string("FF_NeuralNetwork net, other, nets[2]") + Separator() +
                   "LogicalNeuralNetwork ram" + Separator() + "net.Bias = 0.5";
        }
        return out + Separator() + arrays_ + "z = " + std::to_string(1 + z_) + Separator();
    }

    std::string ArrayDeclarations() {
        std::string out;
        for (const Variable& v : scopes_.front()) {
            if (v.count == 1 && v.type != kTypeMatrix) continue;
            out += TypeWord(v.type) + std::string(" ") + v.name;
            if (v.type == kTypeMatrix)
                out += "[" + std::to_string(v.rows) + "][" + std::to_string(v.cols) + "]";
            else
                out += "[" + std::to_string(v.count) + "]";
            out += Separator();
        }
        return out;
    }

    static const char* TypeWord(int type) {
        switch (type) {
            case kTypeInteger: return "Integer";
            case kTypeFloat: return "Float";
            case kTypeString: return "String";
            default: return "Matrix";
        }
    }

    std::string Subroutine(int index, bool recursive) {
        callable_ = index + 1;
        inSubroutine_ = true;
        const int before = work_;
        mult_ = 1;
        std::string out = "Subroutin S" + std::to_string(index) + Separator() + Guard();
        out += Block(Next() % 5 + 1);
        if (recursive && Chance(3)) out += "Call R" + std::string(Separator());
        out += "EndSub" + std::string(Separator());
        subroutineWork_[index] = work_ - before + 1;
        inSubroutine_ = false;
        return out;
    }

    // A subroutine of Float expressions of w, which it does not declare: its callers declare w,
    // an Integer in one call and a Float in the next (see TypedCalls).
    void Typed() {
        scopes_.emplace_back();
        scopes_.back().push_back({"w", kTypeFloat, 1});
        inTyped_ = true;
        std::string out = "Subroutin W" + std::string(Separator());
        for (int k = 1 + Next() % 2; k > 0; --k) {
            const char* target = Chance(2) ? "x" : "y";
            out += target + std::string(" = w ") + TypedAssignmentValue() + Separator() + "Print " + target + Separator();
        }
        out += "EndSub" + std::string(Separator());
        inTyped_ = false;
        scopes_.pop_back();
        trailingBodies_.push_back(out);
        typed_ = true;
    }

    // Calls itself until r reaches a bound that is at times past the nesting limit.
    void Recursive() {
        static const char* const kBounds[] = {"3", "20", "150", "1000"};
        inSubroutine_ = true;
        callable_ = kMaxSubroutines + 1;
        scopes_.emplace_back();
        std::string out = "Subroutin R" + std::string(Separator()) + Guard() + "r = r + 1" + Separator();
        out += Assignment() + Separator();
        if (Chance(3)) out += "If r > 2 Then ExitSub Endif" + std::string(Separator());
        if (Chance(6)) out += Declaration() + Separator();  // declared again one call deeper
        out += "If r < " + std::string(Pick(kBounds, Next())) + " Then Call R Endif" + Separator();
        out += Assignment() + Separator() + "EndSub" + Separator();
        scopes_.pop_back();
        trailingBodies_.push_back(out);
        inSubroutine_ = false;
        recursive_ = true;
    }

    // Statements of a new block: what it declares is dropped at its end.
    std::string Block(int statements) {
        scopes_.emplace_back();
        std::string out;
        for (int k = 0; k < statements; ++k) out += Statement();
        scopes_.pop_back();
        return out;
    }

    // A block's statements after its head, braced at times (the brace is the block's first word).
    std::string Body(const std::string& first = std::string()) {
        const int statements = Next() % 4 + 1;
        if (!Chance(6)) return Separator() + first + Block(statements);
        return " { " + first + Block(statements) + "} ";
    }

    // Misplaced words can pair a loop's closing word with another loop's head, or a body with
    // another subroutine: where they may stand, every pass and call first counts itself, and the
    // run stops after a few thousand.
    std::string Guard() {
        if (!guarded_) return "";
        return "q = q + 1" + std::string(Separator()) + "If q > 3000 Then StopProgram Endif" + Separator();
    }

    bool Misplacing() const { return guarded_ && (sloppy_ || unchecked_ > 0); }

    std::string Statement() {
        work_ += mult_;
        const int choice = Next() % 34;
        std::string out;
        if (choice < 3) {
            out = TypedAssignment();
        } else if (choice < 10) {
            out = Assignment();
        } else if (choice < 12 && depth_ < kMaxDepth) {
            out = StraightLoop();
        } else if (choice < 15 && depth_ < kMaxDepth) {
            out = IfBlock();
        } else if (choice < 18 && depth_ < kMaxDepth) {
            out = ForLoop();
        } else if (choice < 19 && depth_ < kMaxDepth && !directlyInDo_) {
            out = WhileLoop();
        } else if (choice < 20 && depth_ < kMaxDepth) {
            out = DoLoop();
        } else if (choice < 22) {
            out = PrintStatement();
        } else if (choice < 24) {
            out = Declaration();
        } else if (choice < 26) {
            out = !inSubroutine_ && Chance(3) ? TypedCalls() : CallStatement();
        } else if (choice < 27 && inSubroutine_) {
            out = Chance(2) ? "ExitSub" : "If " + Condition(0) + " Then ExitSub Endif";
        } else if (choice < 28 && Chance(3)) {
            out = Ending();
        } else if (choice < 29 && Misplacing()) {
            out = Pick(kMisplaced, Next());
        } else if (choice < 30 && depth_ < kMaxDepth) {
            out = UncheckedLoop();
        } else if (choice == 31 && Chance(2)) {
            out = Setting();
        } else if (choice > 31 && files_) {
            out = FileStatement();
        } else {
            out = Assignment();
        }
        return out + Separator();
    }

    // The grow step (kept small: a declaration grows the table by it), a network's member, or a
    // command that changes nothing a run shows.
    std::string Setting() {
        if (Chance(5)) return Chance(2) ? "ChangeRandomSeed" : "Sleep 0";
        if (network_ && Chance(2))
            return Chance(3) ? "net.InputsNumber = " + IntegerOperand(1) + " Mod 5 + 1" : "net.Bias = " + NumberExpression(1);
        if (Misplacing() && Chance(4)) return "BiggestArray = " + TextExpression(0);
        return "BiggestArray = " + NumberExpression(0) + " Mod 97";
    }

    // A file's text written, a line read, the file opened again or closed; at times a read of
    // another form, or (where the check pass does not read) a variable that is no File.
    std::string FileStatement() {
        const char* file = Chance(4) ? "h" : "f";
        if (Misplacing() && Chance(8)) file = Chance(2) ? "k" : "s";
        const int choice = Next() % 10;
        textUsed_ = false;
        if (choice < 4) return "FileWriteString(" + (Chance(2) ? TextExpression(0) : Expression(0)) + ", " + file + ")";
        if (choice < 7) return std::string(Chance(4) ? "t" : "s") + " = FileReadString(" + ReadCount() + ", " + file + ")";
        if (choice == 7) {
            static const char* const kOtherReads[] = {"k = FileReadString(", "x = FileReadString(", "s = 'a' + FileReadString(",
                                                      "u[1] = FileReadString("};
            const std::string read = Pick(kOtherReads, Next()) + ReadCount() + ", " + file + ")";
            return Chance(3) ? read + " + t" : read;
        }
        if (choice == 8) return Opening(file);
        return "FileClose(" + std::string(file) + ")";
    }

    // Mostly a few characters; at times a count that reaches zero at a later pass, or a Float.
    std::string ReadCount() {
        const int choice = Next() % 5;
        if (choice < 2) return std::to_string(1 + Next() % 12);
        if (choice == 2 && !integerLoops_.empty()) return IntegerCounter() + " - " + std::to_string(Next() % 3);
        if (choice == 3) return "2.5";
        return IntegerExpression(0);
    }

    // FileOpen of one of two files in the scratch folder, for either direction.
    std::string Opening(const char* file) {
        static const char* const kModes[] = {"Writing Text", "Reading Text", "Writing Binary", "Reading Binary", "Editting Text"};
        const std::string name = ScratchFolder() + (Chance(2) ? "a" : "b");
        return "FileOpen \"" + name + "\" For " + Pick(kModes, Next()) + " In " + file;
    }

public:
    // The folder the scripts' files are in (with a separator after it).
    static const std::string& ScratchFolder() {
        static const std::string folder = ScratchPath("region_scripts", "_files") + "/";
        return folder;
    }

private:
    std::string Member() {
        const int choice = Next() % (Misplacing() ? static_cast<int>(std::size(kMembers)) : kReadableMembers);
        return kMembers[choice];
    }

    // Exit or StopProgram, mostly once a counter reaches a value.
    std::string Ending() {
        const char* word = Chance(2) ? "Exit" : "StopProgram";
        if (Chance(4) || integerLoops_.empty()) return word;
        return "If " + IntegerCounter() + " = " + Pick(kIntegers, Next() % 4) + " Then " + word + " Endif";
    }

    std::string CallStatement() {
        std::vector<std::string> names;
        for (int k = callable_; k <= kMaxSubroutines; ++k)
            if (subroutineWork_[k] > 0 && work_ + mult_ * subroutineWork_[k] <= kWorkBudget)
                names.push_back("S" + std::to_string(k));
        if (recursive_) names.push_back("R");
        if (names.empty()) return Assignment();
        const std::string& name = names[static_cast<std::size_t>(Next()) % names.size()];
        if (name != "R") work_ += mult_ * subroutineWork_[name[1] - '0'];
        return "Call " + name;
    }

    std::string Declaration() {
        static const int kTypes[] = {kTypeInteger, kTypeFloat, kTypeString, kTypeMatrix};
        Variable v{"v" + std::to_string(++locals_), kTypes[Next() % 4], 1};
        // A subroutine's name declared again in the main statements, of another type at times: a
        // call after it meets its caller's variable.
        if (inSubroutine_) {
            subroutineNames_.push_back(v.name);
        } else if (depth_ == 0 && !subroutineNames_.empty() && Chance(3)) {
            v.name = subroutineNames_.back();
            subroutineNames_.pop_back();
        }
        std::string out = TypeWord(v.type) + std::string(" ") + v.name;
        if (v.type == kTypeMatrix) {
            v.rows = 1 + Next() % 2;
            v.cols = 1 + Next() % 3;
            out += "[" + std::to_string(v.rows) + "][" + std::to_string(v.cols) + "]";
        } else if (Chance(2)) {
            v.count = 1 + Next() % 3;
            out += "[" + std::to_string(v.count) + "]";
        }
        // A second name of the statement, at times one that is taken.
        if (v.type != kTypeMatrix && Chance(5)) out += Chance(4) && Misplacing() ? ", n" : ", w" + std::to_string(locals_);
        scopes_.back().push_back(v);
        return out;
    }

    std::string IfBlock() {
        ++depth_;
        const bool wasInDo = directlyInDo_;
        directlyInDo_ = false;
        std::string out = "If " + Condition(0) + " Then" + Body();
        if (Chance(2)) out += "Else" + Body();
        out += "Endif";
        directlyInDo_ = wasInDo;
        --depth_;
        return out;
    }

    // Bounds within -3 .. 10: small numbers, enclosing counters, z.
    std::string Bound() {
        const int choice = Next() % 6;
        if (choice < 3 || loops_.empty()) return std::to_string(static_cast<int>(Next() % 10) - 3);
        if (choice == 3) return "z - " + std::to_string(Next() % 4);
        const std::string& counter = loops_[static_cast<std::size_t>(Next()) % loops_.size()];
        return choice == 4 ? counter : "(" + counter + " + 1) / 2";
    }

    std::string ForLoop() {
        static const char* const kIntegerSteps[] = {"", "", "", " Step 2", " Step -1", " Step -2", " Step 3"};
        static const char* const kFloatSteps[] = {"", " Step 0.5", " Step -0.5", " Step 0.75", " Step -1.25"};
        const bool floating = Chance(4);
        const std::string counter = floating ? "f" + std::to_string(floatCounters_.size() + 1)
                                             : "c" + std::to_string(counters_.size() + 1);
        const char* step = floating ? Pick(kFloatSteps, Next()) : Pick(kIntegerSteps, Next());
        // Counts up to 14 passes each way, 28 at a step of one half.
        const int passes = floating ? 28 : 14;
        if (work_ + mult_ * passes > kWorkBudget) return Assignment();
        (floating ? floatCounters_ : counters_).push_back(counter);
        const std::string head = "For " + counter + " = " + Bound() + " To " + Bound() + step;
        return Loop(head, passes, counter, "Next");
    }

    // A For loop that the check pass passes over: its body is first read in the run.
    // The check pass reads a loop's body once, at the first pass: a loop from 2 to the counter of
    // a loop from 1 is passed over there, and first read in the run's second pass.
    std::string UncheckedLoop() {
        const int passes = 2 + Next() % 3;
        if (depth_ + 2 > kMaxDepth || work_ + mult_ * passes * passes > kWorkBudget) return Assignment();
        const std::string outer = NewCounter();
        return Loop("For " + outer + " = 1 To " + std::to_string(passes), passes, outer, "Next", false, "", [&] {
            std::string out = Block(Next() % 2);
            const std::string inner = NewCounter();
            ++unchecked_;
            out += Loop("For " + inner + " = 2 To " + outer, passes, inner, "Next");
            --unchecked_;
            return out + Separator() + Block(Next() % 2);
        });
    }

    std::string NewCounter() {
        counters_.push_back("c" + std::to_string(counters_.size() + 1));
        return counters_.back();
    }

    std::string WhileLoop() {
        const int passes = Next() % 5;  // none at times: the body is passed over
        if (work_ + mult_ * passes > kWorkBudget) return Assignment();
        const std::string counter = NewCounter();
        std::string head = counter + " = 0" + Separator() + "While " + counter + " < " + std::to_string(passes);
        if (Chance(3)) head += " And " + Comparison();
        return Loop(head, passes, counter, "Wend", false, counter + " = " + counter + " + 1" + Separator());
    }

    // A For, While or Do of assignments and Ifs whose branches hold only assignments: its later
    // passes run step by step. An index past the end, a divisor that reaches zero or a function's
    // argument that leaves its range stops one of them part way, in a branch, a condition or the
    // body.
    std::string StraightLoop() {
        const int passes = 6 + Next() % 16;
        if (work_ + mult_ * passes * 4 > kWorkBudget) return Assignment();
        const std::string counter = NewCounter();
        const std::string last = std::to_string(passes);
        const std::string step = counter + " = " + counter + " + 1" + Separator();
        // A While here would close the Do around.
        const int kind = directlyInDo_ ? 1 + Next() % 2 : Next() % 3;
        std::string head = counter + " = 0" + Separator() + "While " + counter + " < " + last + Separator() + step;
        std::string tail = "Wend";
        if (kind == 1) {
            head = "For " + counter + " = 1 To " + last + Separator();
            tail = "Next";
        } else if (kind == 2) {
            head = counter + " = 0" + Separator() + "Do" + Separator() + step;
            tail = "While " + counter + " < " + last;
            if (Chance(3)) tail += " And " + Comparison();
        }
        // Its statements are written here, not by Statement(): their work is counted for them.
        work_ += mult_ * passes * 4;
        return head + InLoop(counter, passes, kind == 2, [&] {
                   std::string out;
                   for (int k = Next() % 4 + 1; k > 0; --k) out += PassStatement() + Separator();
                   return out;
               }) + tail;
    }

    // A statement of a long loop's pass: Integer shapes, Floats, Strings, and at times any
    // assignment, output, or a Float that takes a built-in function of the counter (out of its
    // range at a later pass).
    std::string PassStatement() {
        const int choice = Next() % 12;
        if (choice < 3) return StraightIf();
        if (choice < 5) return StraightAssignment();
        if (choice < 7) return TypedStep();
        if (choice == 7) return PrintStatement();
        if (choice == 8) return (Chance(2) ? "x" : "y") + std::string(" = x * 0.5 + ") + Function(1);
        if (choice == 9 && files_) return FileStatement();
        return Assignment();
    }

    // An assignment of a Float, a Float element, an Integer given a Float, a matrix element (past
    // its last column at a later pass) or a String (joined, copied or into an element past its
    // bound at a later pass), with no text words: a step of a straight pass.
    std::string TypedStep() {
        const std::string counter = integerLoops_.empty() ? "k" : IntegerCounter();
        switch (Next() % 7) {
            case 5: return std::string(Chance(2) ? "k" : "n") + " = " + FloatOperand() + " * 2.5";
            case 6: return "m[1][" + counter + " Mod 4 + 1] = " + FloatOperand() + " - " + NumberOperand(1);
            case 0: return "g[" + Index(gSize_, 1) + "] = " + FloatOperand() + " * 0.5 + " + NumberOperand(1);
            case 1: return std::string(Chance(2) ? "s" : "t") + " = " + (Chance(2) ? "s + " + counter : "t");
            case 2: return "u[" + counter + " Mod 5 + 1] = " + (Chance(2) ? "s" : "u[1]");
            case 3: return std::string(Chance(2) ? "x" : "y") + " = " + FloatOperand() + " / (" + FloatOperand() + " - 1.5)";
            default: return (Chance(2) ? "x" : "y") + std::string(" = ") + NumberExpression(1);
        }
    }

    // Mostly a test of the loop's counter that goes both ways in the first passes, so that both
    // branches have run (and are known) when the passes go step by step; at times a whole chain.
    // A branch holds Ifs of its own, up to three deep, some of whose branches never run.
    std::string StraightIf(int depth = 0) {
        const int choice = Next() % 4;
        const std::string test = choice == 0   ? StraightExpression() + " " + Pick(kComparisons, Next()) + " " + StraightExpression()
                                 : choice == 1 ? Condition(1)
                                               : IntegerCounter() + " Mod " + std::to_string(2 + Next() % 2) + " " +
                                                     Pick(kComparisons, Next()) + " " + std::to_string(Next() % 2);
        const auto branch = [&] {
            std::string steps;
            for (int k = Next() % 2 + 1; k > 0; --k)
                steps += (depth < 2 && Chance(4) ? StraightIf(depth + 1) : Chance(3) ? TypedStep() : StraightAssignment()) +
                         Separator();
            return steps;
        };
        std::string out = "If " + test + " Then" + Separator() + branch();
        if (Chance(2)) out += "Else" + std::string(Separator()) + branch();
        return out + "Endif";
    }

    std::string StraightAssignment() {
        const std::string target = Chance(3) ? "a[" + StraightOperand() + "]" : Chance(2) ? "k" : "n";
        return target + " = " + StraightExpression();
    }

    // An element alone, or one operand, or two or three with Integer operators between them.
    std::string StraightExpression() {
        static const char* const kIntegerOperators[] = {"+", "-", "*", "/", "Mod", "+"};
        if (Chance(5)) return "a[" + StraightOperand() + "]";
        std::string out = StraightOperand();
        for (int k = Next() % 3; k > 0; --k) {
            const char* op = Pick(kIntegerOperators, Next());
            const bool divides = op[0] == '/' || op[0] == 'M';
            // A divisor that reaches zero at a later pass, at times.
            out += std::string(" ") + op + " " +
                   (divides && Chance(3) ? "(" + std::to_string(2 + Next() % 6) + " - " + IntegerCounter() + ")"
                                         : StraightOperand());
        }
        return out;
    }

    std::string StraightOperand() {
        const int choice = Next() % 5;
        if (choice < 2) return std::to_string(1 + Next() % 7);
        if (choice < 4) return IntegerCounter();
        return Chance(2) ? "k" : "n";
    }

    std::string DoLoop() {
        const int passes = 1 + Next() % 5;
        if (work_ + mult_ * passes > kWorkBudget) return Assignment();
        const std::string counter = NewCounter();
        std::string tail = "While " + counter + " < " + std::to_string(passes);
        if (Chance(3)) tail += " And " + Comparison();
        const std::string head = counter + " = 0" + Separator() + "Do";
        return Loop(head, passes, counter, tail, true, counter + " = " + counter + " + 1" + Separator());
    }

    // The head, the body with the loop's work counted at its passes, the closing words.
    std::string Loop(const std::string& head, int passes, const std::string& counter, const std::string& tail,
                     bool doBody = false, const std::string& first = std::string(),
                     const std::function<std::string()>& inside = nullptr) {
        return head + InLoop(counter, passes, doBody, [&] {
                   return inside ? Separator() + Guard() + inside() : Body(first + Guard());
               }) + tail;
    }

    // A loop's body, written with its counter among the loops around and its passes counted.
    std::string InLoop(const std::string& counter, int passes, bool doBody, const std::function<std::string()>& body) {
        ++depth_;
        const int outerMult = mult_;
        const bool wasInDo = directlyInDo_;
        directlyInDo_ = doBody;
        mult_ *= passes;
        const bool integer = counter[0] == 'c';
        loops_.push_back(counter);
        std::vector<std::string>& typed = integer ? integerLoops_ : floatLoops_;
        typed.push_back(counter);
        std::string out = body();
        typed.pop_back();
        loops_.pop_back();
        mult_ = outerMult;
        directlyInDo_ = wasInDo;
        --depth_;
        return out;
    }

    // Every variable the statement can see, newest last.
    std::vector<const Variable*> Visible(bool (*fits)(const Variable&)) const {
        std::vector<const Variable*> out;
        for (const auto& scope : scopes_)
            for (const Variable& v : scope)
                if (fits(v)) out.push_back(&v);
        return out;
    }

    const Variable* PickVariable(bool (*fits)(const Variable&)) {
        const std::vector<const Variable*> found = Visible(fits);
        if (found.empty()) return nullptr;
        return found[static_cast<std::size_t>(Next()) % found.size()];
    }

    // An element index: in range mostly, from an enclosing counter at times (past the end at a
    // later pass).
    std::string Index(int count, int depth) {
        const int choice = Next() % 16;
        if (choice < 8 || integerLoops_.empty() || depth > 2) return std::to_string(1 + Next() % count);
        const std::string& counter = IntegerCounter();
        if (choice < 10) return counter;
        if (choice < 13) return counter + " Mod " + std::to_string(count) + " + 1";
        if (choice < 15) return IntegerExpression(depth + 1);
        return std::to_string(count + 1) + " - " + counter;
    }

    const std::string& IntegerCounter() {
        return integerLoops_[static_cast<std::size_t>(Next()) % integerLoops_.size()];
    }

    // Integers only: what an index must be.
    std::string IntegerExpression(int depth) {
        static const char* const kIntegerOperators[] = {"+", "-", "*", "/", "Mod"};
        std::string out = IntegerOperand(depth);
        for (int k = 0; k < 3 && !Chance(2); ++k)
            out += std::string(" ") + Pick(kIntegerOperators, Next()) + " " + IntegerOperand(depth);
        return out;
    }

    std::string IntegerOperand(int depth) {
        const int choice = Next() % 6;
        if (choice < 2 || (choice < 4 && integerLoops_.empty())) return std::to_string(Next() % 8);
        if (choice < 4) return IntegerCounter();
        if (choice == 4) return Chance(2) ? "n" : "k";
        if (depth < 3) return "a[" + Index(arraySize_, depth + 1) + "]";
        return "1";
    }

    // The variable's name, with an element's indices when it has elements.
    std::string Reference(const Variable& v, int depth) {
        if (v.type == kTypeMatrix) return v.name + "[" + Index(v.rows, depth) + "][" + Index(v.cols, depth) + "]";
        if (v.count > 1) return v.name + "[" + Index(v.count, depth) + "]";
        return v.name;
    }

    static bool IsNumber(const Variable& v) { return v.type != kTypeString; }
    static bool IsText(const Variable& v) { return v.type == kTypeString; }
    static bool IsWhole(const Variable& v) { return v.count > 1 || v.type == kTypeMatrix; }

    std::string Assignment() {
        const int choice = Next() % 5;
        if (choice == 0) {
            const Variable* v = PickVariable(IsText);
            if (v != nullptr) return Reference(*v, 0) + " = " + TextExpression(0);
        }
        if (choice == 4) return TextInPlace();
        const Variable* v = PickVariable(IsNumber);
        if (v == nullptr) return "x = 1";
        return Reference(*v, 0) + " = " + (choice == 1 && v->type != kTypeMatrix ? Expression(0) : NumberExpression(0));
    }

    std::string Expression(int depth) { return Chance(3) ? TextExpression(depth) : NumberExpression(depth); }

    // A String variable or element joined with one more piece, or given another's text: it grows
    // by a piece a pass, never doubles.
    std::string TextInPlace() {
        const Variable* v = PickVariable(IsText);
        if (v == nullptr) return "s = 'ab'";
        const std::string target = Reference(*v, 1);
        textUsed_ = false;
        if (Chance(3)) return target + " = " + TextOperand();
        const std::string piece = Chance(2) ? Pick(kTexts, Next()) : NumberOperand(1);
        return Chance(4) ? target + " = " + piece + " + " + target : target + " = " + target + " + " + piece;
    }

    // Output of a text, a number, or a pass's counter with words.
    std::string PrintStatement() {
        const std::string word = Chance(2) ? "Print " : "Println ";
        const int choice = Next() % 4;
        textUsed_ = false;
        if (choice == 0) return word + TextOperand();
        if (choice == 1 && !loops_.empty())
            return word + "'pass ' + " + loops_[static_cast<std::size_t>(Next()) % loops_.size()] + " + ' ' + " + FloatOperand();
        return word + Expression(0);
    }

    // A text, joined with numbers and texts; one String variable at most.
    std::string TextExpression(int depth) {
        textUsed_ = false;
        std::string out = TextOperand();
        for (int k = Next() % 4; k > 0; --k) {
            const int choice = Next() % 4;
            out += " + ";
            if (choice == 0)
                out += TextOperand();
            else if (choice == 1)
                out += "(" + NumberExpression(depth + 1) + ")";
            else if (choice == 2)
                out += NumberOperand(depth + 1);
            else
                out += TypedOperand();
        }
        return out;
    }

    std::string TextOperand() {
        if (!textUsed_ && Chance(2)) {
            const Variable* v = PickVariable(IsText);
            if (v != nullptr) {
                textUsed_ = true;
                return Reference(*v, 1);
            }
        }
        return Pick(kTexts, Next());
    }

    std::string NumberExpression(int depth) {
        std::string out = NumberOperand(depth);
        for (int k = 0; k < 4 && !Chance(3); ++k) {
            const char* op = Pick(kOperators, Next());
            const bool divides = op[0] == '/' || op[0] == 'M';
            out += std::string(" ") + op + " " + (divides ? Divisor(depth) : NumberOperand(depth));
        }
        return out;
    }

    // Mostly not zero, so that most runs go on; at times zero at one pass of a loop.
    std::string Divisor(int depth) {
        static const char* const kNonZero[] = {"1", "2", "3", "7", "0.5", "1.5", "-2"};
        const int choice = Next() % 8;
        if (choice < 6) return Pick(kNonZero, Next());
        if (choice < 7 && !integerLoops_.empty()) return "(" + std::to_string(Next() % 5) + " - " + IntegerCounter() + ")";
        return NumberOperand(depth);
    }

    std::string NumberOperand(int depth) {
        if (network_ && Chance(6)) return Member();
        const int choice = Next() % 16;
        if (choice < 3) return Pick(kIntegers, Next());
        if (choice < 4) return Pick(kFloats, Next());
        if (choice < 8 && !loops_.empty()) return loops_[static_cast<std::size_t>(Next()) % loops_.size()];
        if (choice < 11) {
            const Variable* v = PickVariable(IsNumber);
            if (v != nullptr) return Reference(*v, depth);
        }
        if (choice == 11 && depth < 3) return "(" + NumberExpression(depth + 1) + ")";
        if (choice == 12 && depth < 3) {
            const std::string operand = NumberOperand(depth + 1);
            if (operand[0] != '-') return "-" + operand;  // two signs are not an operand
        }
        // A divisor that is zero at one pass of a loop.
        if (choice == 13 && !loops_.empty())
            return "(" + std::to_string(Next() % 5) + " - " + loops_[static_cast<std::size_t>(Next()) % loops_.size()] + ")";
        if (choice == 14) return Chance(2) ? "True" : "False";
        if (depth < 3 && Chance(2)) return Function(depth + 1);
        if (Misplacing()) {
            const Variable* v = PickVariable(IsWhole);
            if (v != nullptr) return v->name;  // an array or a matrix whole
        }
        return Pick(kIntegers, Next());
    }

    // Built-in functions of numbers (none that is random or reads the clock: both runs must agree).
    std::string Function(int depth) {
        static const char* const kOneArgument[] = {
            "Abs(",  "INT(",  "Sqrt(", "SinD(",    "Exp(",    "Ln(",     "SinR(",   "CosR(",   "TanR(",    "CosD(",   "TanD(",
            "Sinh(", "Cosh(", "Tanh(", "Log(",     "ArcSinD(", "ArcSinR(", "ArcCosD(", "ArcCosR(", "ArcTanD(", "ArcTanR("};
        constexpr int kOnes = static_cast<int>(std::size(kOneArgument));
        const int choice = Next() % (kOnes + 2);
        if (choice < kOnes) return kOneArgument[choice] + Argument(depth) + ")";
        if (choice == kOnes)
            return "RGB(" + Argument(depth) + ", " + NumberOperand(depth) + ", " + NumberOperand(depth) + ")";
        return "Pow(" + Argument(depth) + ", " + Exponent(depth) + ")";
    }

    // A function's argument: mostly any number; at times one that leaves the functions' ranges at
    // a later pass of a loop (below 1, 0, -1), or, where refused words may stand, a text or a
    // whole matrix.
    std::string Argument(int depth) {
        const int choice = Next() % 10;
        if (choice < 6) return NumberExpression(depth);
        if (choice < 8 && !integerLoops_.empty()) return std::to_string(Next() % 4) + " - " + IntegerCounter();
        if (choice == 8 && Misplacing()) return Chance(2) ? Pick(kTexts, Next()) : "m";
        if (choice == 9 && !integerLoops_.empty()) return HalfSteps();
        return Pick(kFloats, Next());
    }

    // A Float: a variable, an element, a Float counter, a literal or a function's value.
    std::string FloatOperand() {
        const int choice = Next() % 6;
        if (choice == 0) return Pick(kFloats, Next());
        if (choice == 1 && !floatLoops_.empty()) return floatLoops_[static_cast<std::size_t>(Next()) % floatLoops_.size()];
        if (choice == 2) return "g[" + Index(gSize_, 1) + "]";
        if (choice == 3) return Function(3);
        return FloatName();
    }

    // w only where it is declared: in W.
    const char* FloatName() { return kFloatNames[Next() % (inTyped_ ? 3 : 2)]; }

    // A Float that a counter moves by halves and quarters through zero: what INT and RGB cut
    // toward zero, and a base of Pow that is zero at one pass.
    std::string HalfSteps() {
        static const char* const kSteps[] = {" * 0.5", " * 0.75 - 1", " * -1.5 + 3", " * 0.5 - 1"};
        return IntegerCounter() + Pick(kSteps, Next());
    }

    // Pow's exponent: at times zero or negative, which a zero base refuses.
    std::string Exponent(int depth) {
        static const char* const kExponents[] = {"-1", "0", "-0.5", "2", "-1.5", "-2"};
        return Chance(2) ? Pick(kExponents, Next()) : NumberOperand(depth);
    }

    // A number variable given Float operands and functions only, several of them: typed code
    // with constants and variables side by side in both orders, and whole numbers cut from Floats.
    std::string TypedAssignment() {
        const Variable* v = PickVariable(IsNumber);
        if (v == nullptr || v->type == kTypeMatrix) return "x = 1";
        return Reference(*v, 1) + " = " + TypedOperand() + " " + TypedAssignmentValue();
    }

    // The operators and operands after an assignment's first operand.
    std::string TypedAssignmentValue() {
        std::string out = Pick(kFloatOperators, Next()) + std::string(" ") + TypedOperand();
        for (int k = Next() % 3; k > 0; --k) out += std::string(" ") + Pick(kFloatOperators, Next()) + " " + TypedOperand();
        return out;
    }

    // W called twice, with w declared as an Integer around one call and as a Float around the
    // other (each in a block of its own, which drops it again).
    std::string TypedCalls() {
        if (!typed_) return Assignment();
        work_ += 4 * mult_;
        const bool integerFirst = Chance(2);
        std::string out;
        for (int k = 0; k < 2; ++k) {
            const char* type = (k == 0) == integerFirst ? "Integer" : "Float";
            out += std::string(k == 0 ? "" : Separator()) + "If z > 0 Then " + type + " w" + Separator() + "w = " +
                   (integerLoops_.empty() ? Pick(kFloats, Next()) : HalfSteps()) + Separator() + "Call W Endif";
        }
        return out;
    }

    // A Float operand; a constant and a Float name in parentheses, either first; or a function of
    // Floats that move by halves: INT, RGB, or Pow with a base that reaches zero.
    std::string TypedOperand() {
        const int choice = Next() % 8;
        if (choice == 0) {
            const std::string constant = Pick(kFloats, Next());
            const std::string name = FloatName();
            const bool constantFirst = Next() & 1;
            return "(" + (constantFirst ? constant : name) + " " + Pick(kFloatOperators, Next()) + " " +
                   (constantFirst ? name : constant) + ")";
        }
        if (choice > 3 || integerLoops_.empty()) return FloatOperand();
        if (choice == 1) return "INT(" + HalfSteps() + ")";
        if (choice == 2) return "RGB(" + HalfSteps() + ", " + HalfSteps() + ", " + FloatOperand() + ")";
        return "Pow(" + HalfSteps() + ", " + Exponent(2) + ")";
    }

    std::string Comparison() {
        const int choice = Next() % 8;
        const char* comparison = Pick(kComparisons, Next());
        if (choice < 2) {
            textUsed_ = false;
            std::string left = TextOperand();
            textUsed_ = false;
            return left + " " + comparison + " " + TextOperand();
        }
        if (choice < 4) return FloatOperand() + " " + comparison + " " + (Chance(2) ? FloatOperand() : NumberExpression(2));
        return NumberExpression(2) + " " + comparison + " " + NumberExpression(2);
    }

    std::string Condition(int depth) {
        std::string out = Chance(4) ? "NOT " : "";
        out += Chance(6) ? NumberOperand(2) : Comparison();
        if (depth < 4 && Chance(2)) out += std::string(Chance(2) ? " And " : " Or ") + Condition(depth + 1);
        return out;
    }

    ByteChoices bytes_;
    bool network_ = false;          // run by the interpreter with the network extension
    bool files_ = false;            // opens files in the scratch folder
    bool guarded_ = false;          // misplaced words may stand where the check pass skips
    bool sloppy_ = false;           // misplaced words anywhere
    bool inSubroutine_ = false;
    bool recursive_ = false;        // R has been written
    bool typed_ = false;            // W has been written
    bool inTyped_ = false;          // W is being written
    bool directlyInDo_ = false;     // a While here would close the Do loop
    bool textUsed_ = false;         // the expression has joined a String variable
    int unchecked_ = 0;             // loops around that the check pass skips
    int depth_ = 0;
    int mult_ = 1;                  // passes of the loops around
    int work_ = 0;
    int callable_ = 1;              // the first subroutine that may be called
    int locals_ = 0;
    int z_ = 0;
    int subroutineWork_[kMaxSubroutines + 2] = {};
    std::vector<std::vector<Variable>> scopes_;
    std::vector<std::string> loops_;  // counters of the loops around, innermost last
    std::vector<std::string> integerLoops_;  // those of them that are Integers
    std::vector<std::string> floatLoops_;    // those of them that are Floats
    int arraySize_ = 2;
    int gSize_ = 2;  // elements of the Float array g
    Interruptions moments_;
    std::vector<std::string> counters_;
    std::vector<std::string> floatCounters_;
    std::vector<std::string> trailingBodies_;  // R's and W's, after the main statements
    std::vector<std::string> subroutineNames_;  // declared in subroutine bodies, not yet in the main ones
    std::string arrays_;  // the data arrays' declarations
};

}  // namespace

namespace {

// Words of texts that the test extension knows, so that its lookups leave answers that tell them
// apart (the network extension knows its own).
void KnowTextWords(InterruptedComparisonOf<PrintingParser>& sides) {
    for (TestParser* parser : {&sides.regions.parser, &sides.reading.parser}) {
        parser->objectKeywords["item"] = 173;
        parser->objectVariables["b"] = 1;
    }
}
void KnowTextWords(InterruptedComparisonOf<CLoriantParser>&) {}

template <class Base>
void Report(const char* what, const std::string& text, const Interruptions& moments,
            const InterruptedComparisonOf<Base>& run) {
    std::fprintf(stderr,
                 "%s\n%s\n---- stop at print %d, pause at print %d (%d us after it) for %d us\n---- with regions:\n%s\n---- word "
                 "by word:\n%s\n",
                 what, text.c_str(), moments.stopAt, moments.pauseAt, moments.pauseDelayMicroseconds, moments.pauseMicroseconds,
                 run.regions.Outcome().c_str(), run.reading.Outcome().c_str());
}

template <class Base>
int Compare(const std::string& text, const Interruptions& moments) {
    // Made once: an interpreter's buffers cost more than most scripts take to run.
    static InterruptedComparisonOf<Base>& sides = []() -> InterruptedComparisonOf<Base>& {
        auto* made = new InterruptedComparisonOf<Base>();
        made->UseFolder(ScriptWriter::ScratchFolder());
        KnowTextWords(*made);
        return *made;
    }();
    const bool same = sides.Run(text, moments);
    static const bool show = std::getenv("KESTRUM_SHOW_SCRIPT") != nullptr;
    if (show) {
        std::fprintf(stderr, "%s\n---- stop at print %d, pause at print %d; leaves (%llu statements compiled):\n%s\n----\n",
                     text.c_str(), moments.stopAt, moments.pauseAt,
                     static_cast<unsigned long long>(sides.regions.parser.CompiledStatements()),
                     sides.reading.Outcome().c_str());
    }
    if (same) return 0;
    // Whether the difference needs the scripts run before (something kept from run to run).
    InterruptedComparisonOf<Base> fresh;
    fresh.UseFolder(ScriptWriter::ScratchFolder());
    KnowTextWords(fresh);
    fresh.Run(text, moments);
    Report(fresh.Same() ? "Differs only after earlier scripts:" : "Differs:", text, moments, fresh.Same() ? sides : fresh);
    std::abort();
}

}  // namespace

namespace {

int EnvironmentNumber(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::atoi(value) : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const file = std::getenv("KESTRUM_SCRIPT_FILE");
    if (file != nullptr) {
        std::ifstream in(file, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        return Compare<PrintingParser>(text, {EnvironmentNumber("KESTRUM_STOP_AT"), EnvironmentNumber("KESTRUM_PAUSE_AT"), 50});
    }
    ScriptWriter writer(data, size);
    const std::string text = writer.Write();
    return writer.Network() ? Compare<CLoriantParser>(text, writer.Moments())
                            : Compare<PrintingParser>(text, writer.Moments());
}
