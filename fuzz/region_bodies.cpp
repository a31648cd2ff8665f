// Loop bodies made mostly of assignments and conditions (what the compiled regions compile) and
// of the words around them, run as a For loop's pass three times by an interpreter that compiles
// them and by one that reads word by word: both must leave exactly the same state. Operands are
// numbers, texts, variables, array and matrix elements and built-in functions (their arguments of
// every type, out of range, without parentheses); statements are assignments (Strings joined in
// place among them), If heads and blocks with long And / Or / NOT chains, and calls; arrays are of
// Integers, Floats and Strings. The user presses Stop before a pass, or Pause at a pass's start
// and Resume a moment later. The input bytes steer a small generator, so every input is such a
// body; none of its words waits, a loop ends by the nesting limit, and a declaration is of one
// element (a separator follows its name). A File variable h holds a file of each side's own, open
// for reading or writing or not at all: FileWriteString and FileReadString (into Strings and
// numbers, counts of every type) use it or another variable, FileClose closes it part way, and the
// two files must end the same.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "fuzz/byte_choices.h"
#include "fuzz/comparison_memory_cap.h"
#include "fuzz/interrupted_run.h"
#include "fuzz/scratch_file.h"
#include "platform/crt_file.h"
#include "tests/interpreter/body_comparison.h"

namespace {

// Names, and a command word that takes "=" and a number like an assignment's target.
const char* const kNames[] = {"i", "x", "n", "f", "s", "a", "m", "k", "a[2]", "x\xdc", "g[3]", "t[2]", "t", "g",
                              "BiggestArray"};
// Two negative Integers, whole operands, so that remainders and quotients meet every sign.
const char* const kNumbers[] = {"0", "1", "2", "7", "1.5", ".5", "99999999999", "2147483647", "1.5.2", ("1\xdc" "2"), "3e2",
                                "(n - 7)", "(n - 1)"};
const char* const kArrays[] = {"a", "g", "t"};
const char* const kOperators[] = {"+", "-", "*", "/", "Mod", "^", "+", "-", "*", "/"};
const char* const kEnds[] = {":", ";", "Next", "\n", ";", "Endif", ")", "Else", "}", ""};
const char* const kComparisons[] = {"=", "<", ">", "<=", ">=", "<>"};
// Words inside texts: names, keywords (read as words there) and escapes.
const char* const kTextWords[] = {"item", "i", "b", "Next", "If", "2", "\\t", "+", "x", " ", "Call", "+7.5e1", "99999999999"};
// Built-in functions of one number (RGB and Pow take more).
const char* const kFunctions[] = {"Abs",  "INT",  "Sqrt", "SinD",    "CosD",    "TanD",    "SinR",    "CosR",
                                  "TanR", "Exp",  "Ln",   "Log",     "Sinh",    "Cosh",    "Tanh",    "ArcSinD",
                                  "ArcSinR", "ArcCosD", "ArcCosR", "ArcTanD", "ArcTanR", "RGB", "Pow"};
// Any other word the statements may meet.
const char* const kWords[] = {
    "=", "(", ")", "[", "]", ":", ";", "Next", "Endif", "If", "Then", "Else", "{", "}", "/*", "*/", "//",
    "True", "Integer k :", "Float i :", "String x :", "\n", "\r\n", "\t", "<", ">", "'a'", ",", "Int", "Wend", "EndSub",
    "Call S", "Subroutin S", "Call T", "NOT", "And", "Or", "b",
};

class BodyWriter {
public:
    BodyWriter(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

    std::string Write() {
        while (!bytes_.UsedUp()) Statement();
        return text_;
    }

private:
    int Next() { return bytes_.Next(); }

    // Half the words are glued to the one before.
    void Word(const char* word) {
        if (!text_.empty() && (Next() & 1)) text_ += ' ';
        text_ += word;
    }

    void Statement() {
        const int choice = Next() % 12;
        if (choice == 11) {
            FileStatement();
        } else if (choice == 10) {
            TextInPlace();
        } else if (choice < 5) {
            if (Next() % 3 == 0)
                Element(0);
            else
                Word(Pick(kNames, Next()));
            Word("=");
            Expression(0);
            Word(Pick(kEnds, Next()));
        } else if (choice < 7) {
            Word(Pick(kEnds, Next()));
        } else if (choice < 8) {
            Word("If");
            Condition(0);
            Word("Then");
        } else if (choice < 9 && depth_ < 3) {
            Block();
        } else {
            Word(Pick(kWords, Next()));
        }
    }

    // A write or a read of h (at times of another variable), or h closed; a word missing at times.
    void FileStatement() {
        static const char* const kReadTargets[] = {"s", "s", "t[2]", "i", "x", "t"};
        static const char* const kFiles[] = {"h", "h", "h", "h", "h", "h", "i", "s", "a[2]"};
        static const char* const kBinaryWrites[] = {"FileWrite1b", "FileWrite2bu", "FileWrite4bf", "FileWrite8b"};
        const auto missing = [&] { return Next() % 16 == 0; };
        const int choice = Next() % 10;
        if (choice == 9) {
            Word("FileClose");
            Word("(");
            Word(Pick(kFiles, Next()));
            Word(")");
            return;
        }
        const bool read = choice >= 5;
        const bool binary = choice == 4;
        if (read) {
            Word(Pick(kReadTargets, Next()));
            Word("=");
            Word("FileReadString");
        } else {
            Word(binary ? Pick(kBinaryWrites, Next()) : "FileWriteString");
        }
        if (!missing()) Word("(");
        if (binary) {
            Word(Pick(kFiles, Next()));
            if (!missing()) Word(",");
        }
        if (read) {
            Word(Pick(kNumbers, Next()));
            if (Next() % 4 == 0) Expression(1);
        } else if (Next() & 1) {
            Text();
        } else {
            Expression(1);
        }
        if (!binary) {
            if (!missing()) Word(",");
            Word(Pick(kFiles, Next()));
        }
        if (!missing()) Word(")");
        if (read && Next() % 4 == 0) Word("+");
        Word(Pick(kEnds, Next()));
    }

    // A whole If block, its branches a few statements each, so that skips and branches are taken.
    void Block() {
        ++depth_;
        Word("If");
        Condition(0);
        Word("Then");
        for (int k = Next() % 4; k > 0; --k) Statement();
        if (Next() & 1) {
            Word("Else");
            for (int k = Next() % 4; k > 0; --k) Statement();
        }
        Word("Endif");
        --depth_;
    }

    // Mostly plain comparisons of names and numbers, chained often, so that the chain's grouping
    // decides which branch runs.
    void Condition(int depth) {
        if (Next() % 4 == 0) Word("NOT");
        Comparand(depth);
        if (Next() % 4 != 0) {
            Word(Pick(kComparisons, Next()));
            Comparand(depth);
        }
        if (depth < 5 && Next() % 2 == 0) {
            Word(Next() & 1 ? "And" : "Or");
            Condition(depth + 1);
        }
    }

    void Comparand(int depth) {
        if (Next() % 3 == 0)
            Expression(depth);
        else
            Word(Next() & 1 ? Pick(kNames, Next()) : Pick(kNumbers, Next()));
    }

    // a[...], g[...], t[...] (Integer, Float and String arrays) or m[...][...], the indices whole
    // expressions.
    void Element(int depth) {
        const bool matrix = Next() & 1;
        Word(matrix ? "m" : Pick(kArrays, Next()));
        for (int k = 0; k < (matrix ? 2 : 1); ++k) {
            Word("[");
            Expression(depth + 1);
            if (Next() % 8 != 0) Word("]");
        }
    }

    // A String joined with one more operand, before or after itself.
    void TextInPlace() {
        const char* target = Next() & 1 ? "s" : "t[2]";
        Word(target);
        Word("=");
        if (Next() & 1) {
            Word(target);
            Word("+");
            Operand(1);
        } else {
            Operand(1);
            Word("+");
            Word(target);
        }
        Word(Pick(kEnds, Next()));
    }

    // A built-in function: its arguments are whole expressions of any type; a parenthesis or a
    // comma is missing at times.
    void Function(int depth) {
        const char* name = Pick(kFunctions, Next());
        const int arguments = name[0] == 'R' ? 3 : name[0] == 'P' ? 2 : 1;
        Word(name);
        if (Next() % 8 != 0) Word("(");
        for (int k = 0; k < arguments; ++k) {
            if (k > 0 && Next() % 8 != 0) Word(",");
            Expression(depth + 1);
        }
        if (Next() % 8 != 0) Word(")");
    }

    void Text() {
        const char* quote = Next() & 1 ? "'" : "\"";
        Word(quote);
        for (int k = Next() % 4; k > 0; --k) Word(Pick(kTextWords, Next()));
        if (Next() % 8 != 0) Word(quote);
    }

    void Expression(int depth) {
        Operand(depth);
        for (int k = 0; k < 6 && Next() % 3 != 0; ++k) {
            Word(Pick(kOperators, Next()));
            Operand(depth);
        }
    }

    void Operand(int depth) {
        const int choice = Next() % 12;
        if (choice >= 10 && depth < 4) {
            Function(depth);
        } else if (choice == 8 && depth < 4) {
            Element(depth);
        } else if (choice == 9) {
            Text();
        } else if (choice < 3) {
            Word(Pick(kNames, Next()));
        } else if (choice < 5) {
            Word(Pick(kNumbers, Next()));
        } else if (choice == 5 && depth < 4) {
            Word("(");
            Expression(depth + 1);
            if (Next() % 8 != 0) Word(")");
        } else if (choice == 6) {
            Word(Next() & 1 ? "-" : "+");
            Operand(depth + 1);
        } else {
            Word(Pick(kWords, Next()));
        }
    }

    ByteChoices bytes_;
    int depth_ = 0;  // If blocks being written
    std::string text_;
};

}  // namespace

// Pause at a pass's start on both sides, Resume from another thread after `microseconds`.
std::string PausedPass(BodySide& side, int microseconds) {
    side.view.paused = 1;
    std::thread resume([&side, microseconds] {
        std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
        side.view.paused = 0;
    });
    const std::string left = side.Execute();
    resume.join();
    return left;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte: the pass before which Stop is pressed and the pass that starts paused (3 or
    // more: none), and how long the pause lasts.
    const int interrupt = size > 0 ? data[0] : 0;
    const int stopPass = interrupt % 8;
    const int pausePass = interrupt / 8 % 4;
    const int pauseMicroseconds = interrupt / 32 * 40;
    const std::string text = BodyWriter(data + (size > 0 ? 1 : 0), size > 0 ? size - 1 : 0).Write();
    // Made once: an interpreter's buffers cost more than most bodies take to run.
    static BodySide& compiling = *new BodySide(true, "");
    static BodySide& reading = *new BodySide(false, "");
    // Words the extension knows, so that its lookups leave answers that tell the words apart.
    for (TestParser* parser : {&compiling.parser, &reading.parser}) {
        parser->objectKeywords["item"] = 172;
        parser->objectVariables["b"] = 1;
    }
    compiling.Prepare(text);
    reading.Prepare(text);
    // Each side's h: the same lines, opened the same way, or no file.
    static const char* const kModes[] = {"rt", "wt", "r+t", "rb", nullptr};
    const char* mode = Pick(kModes, size > 1 ? data[1] : 0);
    static const std::string folder = ScratchPath("region_bodies", "_files") + "/";
    std::filesystem::create_directories(folder);
    for (BodySide* side : {&compiling, &reading}) {
        const std::string path = folder + (side == &compiling ? "compiled" : "read");
        std::ofstream(path, std::ios::binary) << "12\r\nab c\n\n-7.5x\n" << text.size() << "\n";
        side->parser.DeclareVariable("h", kTypeFile, 1, 0, 0);
        if (mode != nullptr)
            side->parser.variables[side->parser.FindVariable("h")].SetFile(crt::CrtFile::Open(path, mode).release());
    }
    for (int pass = 0; pass < 3; ++pass) {
        if (pass == stopPass) compiling.view.stopRequested = reading.view.stopRequested = 1;
        const bool paused = pass == pausePass;
        const std::string compiled = paused ? PausedPass(compiling, pauseMicroseconds) : compiling.Execute();
        const std::string read = paused ? PausedPass(reading, pauseMicroseconds) : reading.Execute();
        if (compiled == read) continue;
        std::fprintf(stderr, "%s\n---- stop before pass %d, pause at pass %d; pass %d compiled:\n%s\n---- word by word:\n%s\n",
                     text.c_str(), stopPass + 1, pausePass + 1, pass + 1, compiled.c_str(), read.c_str());
        std::abort();
    }
    compiling.view.stopRequested = reading.view.stopRequested = 0;
    compiling.parser.CutVariables(0);  // closes the files
    reading.parser.CutVariables(0);
    const std::string compiledFile = TakeFiles(folder);
    const std::size_t read = compiledFile.find("\nfile read: ");
    const std::size_t written = compiledFile.find("\nfile compiled: ");
    const auto contents = [&](std::size_t from) {
        const std::size_t start = compiledFile.find(": ", from) + 2;
        const std::size_t end = compiledFile.find("\nfile ", start);
        return compiledFile.substr(start, end == std::string::npos ? std::string::npos : end - start);
    };
    if (read != std::string::npos && written != std::string::npos && contents(read) != contents(written)) {
        std::fprintf(stderr, "%s\n---- the files differ:%s\n", text.c_str(), compiledFile.c_str());
        std::abort();
    }
    return 0;
}
