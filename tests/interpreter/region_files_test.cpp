// File commands and file reads in compiled regions: every guard's both sides, errors at later
// passes, and the files written, against the word-by-word reading.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "interpreter/builtin_test_support.h"
#include "interpreter/messages.h"
#include "tests/interpreter/region_rows.h"

namespace {

// Every "@" of a script stands for a folder of its own.
std::string InFolder(std::string script, const std::string& folder) {
    for (std::size_t at = script.find('@'); at != std::string::npos; at = script.find('@', at + folder.size()))
        script.replace(at, 1, folder);
    return script;
}

// The run's outcome and the files it left, the folder emptied for the other run.
std::string RunInFolder(ScriptSide& side, const std::string& script, bool regions, const ScratchFolder& folder) {
    side.Run(InFolder(script, folder.Path() + "/"), regions);
    std::string out = side.Outcome();
    for (const auto& file : std::filesystem::directory_iterator(folder.Path())) {
        const std::vector<unsigned char> bytes = ReadBytes(file.path().string());
        out += "\nfile " + file.path().filename().string() + ": " + std::string(bytes.begin(), bytes.end());
        std::filesystem::remove(file.path());
    }
    return out;
}

struct FileRow {
    const char* name;
    const char* script;
    std::string pane;        // what the reading prints
    std::uint64_t compiled;  // at least this many statements run compiled
};

void ExpectFilesAsReading(const FileRow* rows, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k) {
        const FileRow& row = rows[k];
        ScratchFolder folder;
        ScriptSide regions;
        ScriptSide reading;
        // Words the extension knows: the names read inside texts leave their answers.
        for (ScriptSide* side : {&regions, &reading}) {
            side->parser.objectKeywords["item"] = 172;
            side->parser.objectVariables["b"] = 1;
        }
        const std::string compiled = RunInFolder(regions, row.script, true, folder);
        EXPECT_EQ(compiled, RunInFolder(reading, row.script, false, folder)) << row.name;
        EXPECT_EQ(reading.view.Pane(), row.pane) << row.name;
        EXPECT_GE(regions.parser.CompiledStatements(), row.compiled) << row.name;
    }
}

const std::string kOpenWrite = "File f : Integer i, k : String s : Float x\nFileOpen \"@a.txt\" For Writing Text In f\n";
const std::string kWritten =
    kOpenWrite + "For i = 1 To 6 : FileWriteString(\"\" + i * 3 + \"\\n\", f) : Next : FileClose(f)\n"
                 "FileOpen \"@a.txt\" For Reading Text In f\n";

const std::string kWriteScripts[] = {
    kOpenWrite + "For i = 1 To 5\n FileWriteString(\"line \" + i + \"\\n\", f)\nNext\nFileClose(f) : Print i",
    kOpenWrite + "For i = 1 To 5 : FileWriteString(i * 2.5, f) : FileWriteString(s, f) : s = s + \"b\" : Next : Print s",
    kOpenWrite + "For i = 1 To 5 : FileWriteString(\"x\", f) : If i = 3 Then FileClose(f) Endif : Next : Print i",
    kOpenWrite + "For i = 1 To 5 : FileWriteString(10 / (3 - i), f) : Next : Print i",
    "File f : Integer i\nFor i = 1 To 3 : FileWriteString(\"x\", f) : Next",
    "File f : Integer i\nFor i = 1 To 3 : FileWriteString(\"x\", i) : Next",
    "File f : Integer i\nFor i = 1 To 3 : FileWriteString(\"x\", g) : Next",
    "File f[2] : Integer i\nFileOpen \"@a.txt\" For Writing Text In f[2]\nFor i = 1 To 3 : FileWriteString(\"x\", f[2]) : Next : FileClose(f[2])",
    kOpenWrite + "FileClose(f) : FileOpen \"@a.txt\" For Reading Text In f\nFor i = 1 To 3 : FileWriteString(\"x\", f) : Next : Print i",
    "File f : Integer i\nFileOpen \"/dev/full\" For Writing Binary In f\nFor i = 1 To 3000 : FileWriteString(\"abcdefgh\", f) : Next",
    kOpenWrite.substr(0, kOpenWrite.size() - 10) + "Binary In f\nFor i = -2 To 3 : FileWrite1b(f, i * 100) : FileWrite2bu(f, i - 0.5) : "
        "FileWrite4bf(f, i / 3) : FileWrite8b(f, i * 0.1) : FileWrite4bu(f, i) : FileWrite4bi(f, i * 1000000000) : Next : Print i",
    kOpenWrite + "For i = 1 To 5 : FileWrite2b(f, 10 / (3 - i)) : Next",
    kOpenWrite + "For i = 1 To 5 : FileWrite1bu(f, i) : If i = 2 Then FileClose(f) Endif : Next",
    kOpenWrite + "For i = 1 To 5 : FileWrite1bu(f, s) : Next",
    kOpenWrite + "For i = 1 To 3 : s = 'b' : FileWriteString('item ' + i, f) : Next",
};

const FileRow kWriteRows[] = {
    {"a text per pass", kWriteScripts[0].c_str(), "6 ", 6},
    {"numbers and strings", kWriteScripts[1].c_str(), "bbbbb ", 16},
    {"the file closed at a later pass", kWriteScripts[2].c_str(), ErrorPane("", message::kFileNotOpen), 7},
    {"a division by zero at a later pass", kWriteScripts[3].c_str(), ErrorPane("", " Runtime Error : Divide By ZERO."), 3},
    {"a file never opened", kWriteScripts[4].c_str(), ErrorPane("", message::kFileNotOpen), 1},
    {"no File variable", kWriteScripts[5].c_str(), message::kFileVariableExpected, 0},
    {"an unknown name", kWriteScripts[6].c_str(), " Syntax Error : Unknown Variable.", 0},
    {"a File element", kWriteScripts[7].c_str(), "", 1},
    {"a file opened for reading", kWriteScripts[8].c_str(), "4 ", 4},
    {"binary writes of every width", kWriteScripts[10].c_str(), "4 ", 37},
    {"a binary write divided by zero at a later pass", kWriteScripts[11].c_str(), ErrorPane("", " Runtime Error : Divide By ZERO."), 3},
    {"a binary write to a file closed at a later pass", kWriteScripts[12].c_str(), ErrorPane("", message::kFileNotOpen), 5},
    {"a text given to a binary write", kWriteScripts[13].c_str(), " Syntax Error : STRINGS not allowed here.", 0},
    {"names inside a written text", kWriteScripts[14].c_str(), "", 0},
    {"a write the system refuses", kWriteScripts[9].c_str(), ErrorPane("", message::kCannotWriteFile), 514},
};

TEST(RegionFiles, WritesLeaveWhatReadingWordByWordLeaves) {
    ExpectFilesAsReading(kWriteRows, std::size(kWriteRows));
}

const std::string kReadScripts[] = {
    kWritten + "s = FileReadString(50, f)\nWhile s <> \"\"\n k = s\n x = x + s\n i = i + k\n s = FileReadString(50, f)\nWend\nPrint i : Print x",
    kWritten + "For i = 1 To 9 : s = FileReadString(2, f) : Print s : Next",
    kWritten + "For i = 1 To 4\n s = FileReadString(3.9 - i, f)\n k = k + 1\nNext",
    kWritten + "For i = 1 To 4 : s = FileReadString(5, f) : If i = 2 Then FileClose(f) Endif : Next",
    kWritten + "For i = 1 To 3 : s = FileReadString(\"5\", f) : Next",
    kWritten + "For i = 1 To 3 : k = FileReadString(5, f) : x = FileReadString(5, f) : Print k + x : Next",
    kWritten + "For i = 1 To 3 : s = FileReadString(5, f) + \"|\" : Print s : Next",
    kWritten + "For i = 1 To 3 : s = FileReadString(9 / (2 - i), f) : Print s : Next",
    kOpenWrite + "For i = 1 To 3 : s = FileReadString(5, f) : Print s : Next",
    kWritten + "For i = 1 To 3 : s = FileReadString(100000, f) : Print s : Next",
    "File f, g : Integer i : String s\nFileOpen \"@a.txt\" For Writing Text In g\nFileWriteString(\"ab\\ncd\", g) : FileClose(g)\n"
    "FileOpen \"@a.txt\" For Reading Text In f\nFor i = 1 To 3\n s = FileReadString(9, f)\n Print s\n If i = 2 Then f = g Endif\nNext",
    kWritten + "For i = 1 To 3 : If i = 3 Then s = FileReadString(5, f) : k = 1 / (i - 3) Endif : Next",
};

const FileRow kReadRows[] = {
    {"lines read back and converted", kReadScripts[0].c_str(), "70 369121518 ", 32},
    {"short reads to the end", kReadScripts[1].c_str(), "3\r \n 6\r \n 9\r \n 12 \r\n 15 ", 26},
    {"a count below one at a later pass", kReadScripts[2].c_str(), ErrorPane("", message::kPositiveValues), 12},
    {"the file closed at a later pass", kReadScripts[3].c_str(), ErrorPane("", message::kFileNotOpen), 12},
    {"a text as the count", kReadScripts[4].c_str(), " Syntax Error : STRINGS not allowed here.", 0},
    {"numbers given the text", kReadScripts[5].c_str(), "9 21 33 ", 11},
    {"the text read on", kReadScripts[6].c_str(), "3\r\n| 6\r\n| 9\r\n| ", 11},
    {"a division by zero in the count at a later pass", kReadScripts[7].c_str(), ErrorPane("3\r\n ", " Runtime Error : Divide By ZERO."), 10},
    {"a file opened for writing", kReadScripts[8].c_str(), "   ", 7},
    {"a count past a literal's room", kReadScripts[9].c_str(), "3\r\n 6\r\n 9\r\n ", 14},
    {"the variable given another file", kReadScripts[10].c_str(), "ab\r\n cd  ", 10},
    {"a read where a skip read its words raw", kReadScripts[11].c_str(), ErrorPane("", " Runtime Error : Divide By ZERO."), 12},
};

TEST(RegionFiles, ReadsLeaveWhatReadingWordByWordLeaves) {
    ExpectFilesAsReading(kReadRows, std::size(kReadRows));
}

// Texts given to numbers where they are kept: variables, elements and literals, leading digits,
// signs, decimals and no digits at all.
TEST(RegionFiles, TextsGivenToNumbersLeaveWhatReadingLeaves) {
    const CompiledRow rows[] = {
        {"texts into integers and floats",
         "Integer i, k, n, a[3] : Float x, y, g[2] : String s, t[3]\nt[1] = \" -12ab\" : t[2] = \"+7.5e1\" : t[3] = \"x9\"\n"
         "For i = 1 To 3 : s = t[i] : k = s : n = n + k : x = t[i] : y = y + x : a[i] = t[i] : g[1] = s : Next\n"
         "k = \"40\" : x = \"0.25\" : Print n : Print y : Print a[1] + a[2] + a[3] : Print g[1] : Print k + x",
         "-5 63 -5 0 40.25 ", 22},
    };
    ExpectCompiledAsReading(rows);
}

// A pause at whatever statement the run has reached, a file's statements among them: the reader
// waits there and every line is written and read once.
TEST(RegionFiles, PausesLeaveTheFilesAsTheRunWouldHave) {
    ScratchFolder folder;
    const std::string script = InFolder(
        "File f : Integer i, k : String s\nFileOpen \"@p.txt\" For Writing Text In f\n"
        "For i = 1 To 3000 : FileWriteString(\"\" + i + \"\\n\", f) : Next : FileClose(f)\n"
        "FileOpen \"@p.txt\" For Reading Text In f\ns = FileReadString(9, f)\n"
        "While s <> \"\"\n i = s\n k = k + i\n s = FileReadString(9, f)\nWend\nPrint k",
        folder.Path() + "/");
    ScriptSide plain;
    plain.Run(script, true);
    EXPECT_EQ(plain.view.Pane(), "4501500 ");
    EXPECT_EQ(OutcomeWithPauses(script, 200), plain.Outcome());
}

}  // namespace
