// Built-in values and commands: the literals the lexer receives, the files, dialogs, sounds,
// clipboard and charts that scripts reach, and the errors they report.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "interpreter/builtin_test_support.h"
#include "interpreter/test_parser.h"
#include "platform/crt_file.h"

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::vector<unsigned char> FloatBytes(float f) {
    std::vector<unsigned char> bytes(4);
    std::memcpy(bytes.data(), &f, 4);
    return bytes;
}

std::vector<unsigned char> DoubleBytes(double d) {
    std::vector<unsigned char> bytes(8);
    std::memcpy(bytes.data(), &d, 8);
    return bytes;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class BuiltinValueTest : public ::testing::Test {
protected:
    // The first token of `text`, read with the File variable f declared (holding the file at
    // `path` opened in `mode`, or no file). Each call starts afresh: preparing the scan drops the
    // variables of the call before and closes their files.
    ScannedToken FirstToken(const std::string& text, int executeFlag = 1, const std::string& path = "",
                            const char* mode = "rb") {
        parser.PrepareScan(text, executeFlag);
        parser.DeclareVariable("f", kTypeFile, 1, 0, 0);
        if (!path.empty()) parser.variables[0].SetFile(crt::CrtFile::Open(path, mode).release());
        const int code = parser.ReadToken();
        return {code, parser.word};
    }
    ScannedToken ReadFromFile(const std::string& text, const std::vector<unsigned char>& bytes,
                              const char* mode = "rb") {
        const std::string path = folder.File("data.bin");
        WriteBytes(path, bytes);
        return FirstToken(text, 1, path, mode);
    }
    void TearDown() override { parser.CutVariables(0); }

    DesktopScope desk;
    ScratchFolder folder;
    RecordingView view;
    TestParser parser{&view};
};

TEST_F(BuiltinValueTest, BinaryReadsFormatTheValueOfTheirWidth) {
    struct Case {
        const char* text;
        std::vector<unsigned char> bytes;
        const char* literal;
    };
    const std::vector<Case> cases = {
        {"FileRead1b(f)", {0xFF}, "-1"},
        {"FileRead1bu(f)", {0xFF}, "255"},
        {"FileRead2b(f)", {0x00, 0x80}, "-32768"},
        {"FileRead2bu(f)", {0x00, 0x80}, "32768"},
        {"FileRead4bi(f)", {0x01, 0x00, 0x00, 0x01}, "16777217"},
        {"FileRead4bu(f)", {0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"},
        {"FileRead4bf(f)", FloatBytes(-2.5f), "-2.50000"},
        {"FileRead8b(f)", DoubleBytes(-0.1), "-0.100000000"},
        // shorter than the read: zero, and the end of the file
        {"FileRead2b(f)", {0xFF}, "0"},
        {"FileRead8b(f)", {1, 2, 3, 4, 5, 6, 7}, "0.000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ScannedToken t = ReadFromFile(c.text, c.bytes);
        EXPECT_EQ(t.code, token::kNumber);
        EXPECT_EQ(t.word, c.literal);
        EXPECT_EQ(parser.ReadToken(), token::kEnd);  // the arguments belong to the value
    }
}

TEST_F(BuiltinValueTest, FileStateValues) {
    struct Case {
        const char* text;
        const char* literal;
    };
    // A 3-byte file read from its start.
    const std::vector<Case> cases = {
        {"FileSize(f)", "3"}, {"FileTell(f)", "0"}, {"FileEOF(f)", "0"}, {"FileIsOpen(f)", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReadFromFile(c.text, {1, 2, 3}).word, c.literal);
    }
}

TEST_F(BuiltinValueTest, WithoutAFileOnlyFileIsOpenAnswers) {
    EXPECT_EQ(FirstToken("FileIsOpen(f)").word, "0");
    EXPECT_TRUE(parser.errorText.empty());
    for (const char* text : {"FileEOF(f)", "FileSize(f)", "FileTell(f)", "FileRead1b(f)", "FileReadString(3, f)"}) {
        SCOPED_TRACE(text);
        FirstToken(text);
        EXPECT_EQ(parser.runState, kEndedByError);
        EXPECT_EQ(parser.errorText, " Runtime Error : File Not Open.");
        // The variable is the highlighted word.
        const std::string t = text;
        ASSERT_FALSE(view.Selections().empty());
        EXPECT_EQ(view.Selections().back(), std::make_pair(static_cast<int>(t.find("f)")), 1));
    }
}

TEST_F(BuiltinValueTest, TheCheckPassYieldsNeutralLiteralsAndTouchesNothing) {
    const std::string present = folder.File("present.txt");
    WriteBytes(present, Bytes("x"));
    desk.recorder.answers = {true};
    desk.recorder.selectedFile = "/chosen";
    struct Case {
        std::string text;
        int code;
        const char* literal;
    };
    const std::vector<Case> cases = {
        {"Clock", token::kNumber, "0"},
        {"Ask 'Go on?'", token::kNumber, "0"},
        {"FileRead8b(f)", token::kNumber, "0"},
        {"FileExists(" + Quoted(present) + ")", token::kNumber, "0"},
        {"FileReadString(5, f)", token::kStringValue, ""},
        {"SelectFile('*.txt')", token::kStringValue, ""},
        {"Yes", token::kNumber, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ScannedToken t = FirstToken(c.text, 0);
        EXPECT_EQ(t.code, c.code);
        EXPECT_EQ(t.word, c.literal);
        EXPECT_EQ(parser.runState, kRunning);
    }
    EXPECT_TRUE(desk.recorder.boxes.empty());
    EXPECT_TRUE(desk.recorder.selections.empty());
}

TEST_F(BuiltinValueTest, FileReadStringReadsUpToCountCharactersOfALine) {
    struct Case {
        std::vector<unsigned char> bytes;
        const char* text;
        const char* mode;
        std::string literal;
    };
    const std::vector<Case> cases = {
        {Bytes("ab\r\ncd"), "FileReadString(5, f)", "rt", "ab\n"},  // CR LF reads as LF, which stays
        {Bytes("ab\r\ncd"), "FileReadString(5, f)", "rb", "ab\r\n"},
        {Bytes("abcdef"), "FileReadString(3, f)", "rt", "abc"},
        {Bytes("abcdef"), "FileReadString(2.9, f)", "rt", "ab"},
        {Bytes(""), "FileReadString(5, f)", "rt", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ScannedToken t = ReadFromFile(c.text, c.bytes, c.mode);
        EXPECT_EQ(t.code, token::kStringValue);
        EXPECT_EQ(t.word, c.literal);
    }
}

TEST_F(BuiltinValueTest, FileReadStringCountBeyondTheWordBufferIsCut) {
    const ScannedToken t = ReadFromFile("FileReadString(100000, f)", std::vector<unsigned char>(60000, 'x'));
    EXPECT_EQ(t.word.size(), static_cast<std::size_t>(CTesselParser::kStringLiteralLimit - 1));
}

TEST_F(BuiltinValueTest, AValuePutBackAndReadAgainIsNotEvaluatedAgain) {
    desk.recorder.answers = {true, false};
    EXPECT_EQ(FirstToken("Ask 'Go?' Then").word, "1");
    parser.UngetToken();
    EXPECT_EQ(parser.ReadToken(), token::kNumber);
    EXPECT_EQ(parser.word, "1");
    EXPECT_EQ(desk.recorder.boxes.size(), 1u);
    EXPECT_EQ(parser.ReadToken(), 31);  // Then

    // A file read put back reads the same value; the next read goes on in the file.
    ReadFromFile("FileRead1b(f) FileRead1b(f)", {5, 6});
    parser.UngetToken();
    parser.ReadToken();
    EXPECT_EQ(parser.word, "5");
    parser.ReadToken();
    EXPECT_EQ(parser.word, "6");
}

// --- whole runs ---

class BuiltinRunTest : public ::testing::Test {
protected:
    std::string Run(const std::string& text) { return h.Run(text); }
    int Check(const std::string& text) { return h.Check(text); }

    DesktopScope desk;
    ScratchFolder folder;
    ScriptHarness h;
};

TEST_F(BuiltinRunTest, BinaryWritesStoreTheseBytes) {
    struct Case {
        const char* command;
        const char* value;
        std::vector<unsigned char> bytes;
    };
    const std::vector<Case> cases = {
        {"FileWrite1b", "300", {0x2C}},
        {"FileWrite1bu", "255.9", {0xFF}},
        {"FileWrite2bu", "65537", {0x01, 0x00}},
        {"FileWrite4bi", "-2.7", {0xFE, 0xFF, 0xFF, 0xFF}},
        {"FileWrite4bf", "0.1", FloatBytes(0.1f)},
        {"FileWrite8b", "7", DoubleBytes(7.0)},
        {"FileWrite4bu", "3000000000.0", {0x00, 0x5E, 0xD0, 0xB2}},
    };
    const std::string path = folder.File("w.bin");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + c.value);
        ScriptHarness run;
        EXPECT_EQ(run.Run("File f\nFileOpen " + Quoted(path) + " For Writing Binary In f\n" + c.command + "(f, " +
                          c.value + ")\nFileClose(f)\n"),
                  "");
        EXPECT_EQ(ReadBytes(path), c.bytes);
    }
}

TEST_F(BuiltinRunTest, TextModeWritesALineFeedAsCrLf) {
    struct Case {
        const char* literal;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"'a\nb'", "a\r\nb"},      // a line break typed in the literal
        {"'a\\nb'", "a\r\r\nb"},   // the escape is already CR LF, whose LF becomes CR LF
        {"'a\rb'", "a\rb"},
    };
    const std::string path = folder.File("t.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.literal);
        ScriptHarness run;
        EXPECT_EQ(run.Run("File f\nFileOpen " + Quoted(path) + " For Writing Text In f\nFileWriteString(" + c.literal +
                          ", f)\nFileClose(f)\n"),
                  "");
        EXPECT_EQ(ReadBytes(path), Bytes(c.bytes));
    }
}

TEST_F(BuiltinRunTest, FileOpenClosesTheFileTheVariableHeld) {
    const std::string first = Quoted(folder.File("first.txt"));
    const std::string second = Quoted(folder.File("second.txt"));
    // Unless the first file is closed (and so written out) when f is opened again, g reads nothing.
    EXPECT_EQ(Run("File f\nFile g\nFileOpen " + first + " For Writing Text In f\nFileWriteString('first', f)\n" +
                  "FileOpen " + second + " For Writing Text In f\nFileOpen " + first + " For Reading Text In g\n" +
                  "FileWriteString(FileReadString(100, g), f)\nFileClose(f)\nFileClose(g)\n"),
              "");
    EXPECT_EQ(ReadBytes(folder.File("second.txt")), Bytes("first"));
}

TEST_F(BuiltinRunTest, SeeksFromEachOrigin) {
    const std::string path = folder.File("d.bin");
    WriteBytes(path, Bytes("0123456789"));
    struct Case {
        const char* seek;
        const char* expected;  // the byte read after the seek
    };
    const std::vector<Case> cases = {
        {"FileSeekCur(f, 2)", "2"}, {"FileSeekEnd(f, -1)", "9"}, {"FileSeekSet(f, 4.8)", "4"},
    };
    const std::string out = folder.File("out.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seek);
        ScriptHarness run;
        EXPECT_EQ(run.Run("File f\nFile o\nFileOpen " + Quoted(path) + " For Reading Binary In f\n" + c.seek +
                          "\nFileOpen " + Quoted(out) + " For Writing Binary In o\nFileWrite1b(o, FileRead1b(f))\n"),
                  "");
        EXPECT_EQ(ReadBytes(out), Bytes(c.expected));
    }
}

TEST_F(BuiltinRunTest, AStopDuringALongSleepEndsTheRun) {
    ASSERT_EQ(Check("Sleep 50000\nCreateChart('after', 1, [1])\n"), 1);
    h.StartRun();
    std::thread stopper([this] {
        // Whenever it lands (before or during the wait), the stop ends the run as a user stop.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        h.view.stopRequested = 1;
    });
    h.parser.WaitFinished();
    stopper.join();
    EXPECT_TRUE(EndsWith(h.view.Pane(), "Program Terminated  By User.\r\n"));
    EXPECT_TRUE(h.view.Charts().empty());
}

TEST_F(BuiltinRunTest, DesktopCommandsPassTheValuesText) {
    const std::string wave = folder.File("a.wav");
    WriteBytes(wave, Bytes("RIFF"));
    const std::string missing = folder.File("none.wav");
    desk.recorder.answers = {true};
    EXPECT_EQ(Run("If Ask 'Go?' Then\nMsgBoxInfo 2.5\nEndif\nMsgBoxError -3\nBeep -1\nExecute '  notes.txt \t'\n"
                  "CopyToClipboard 'x'\nPlayWave ' " + wave + " ', LOOP\nPlayWave " + Quoted(missing) + "\nStopWave\n"),
              "");
    ASSERT_EQ(desk.recorder.boxes.size(), 4u);
    EXPECT_EQ(desk.recorder.boxes[0].style, 0x24u);
    EXPECT_EQ(desk.recorder.boxes[1].text, "2.5");
    EXPECT_EQ(desk.recorder.boxes[1].caption, "Loriant Script");
    EXPECT_EQ(desk.recorder.boxes[2].style, 0x10u);
    EXPECT_EQ(desk.recorder.boxes[3].text, "ERROR : Wave Not Found. \n\n \" " + missing + " \"");
    EXPECT_EQ(desk.recorder.beeps, std::vector<unsigned>{0xFFFFFFFFu});
    EXPECT_EQ(desk.recorder.opened, std::vector<std::string>{"notes.txt"});
    EXPECT_EQ(desk.recorder.clipboard, std::vector<std::string>{"x"});
    ASSERT_EQ(desk.recorder.waves.size(), 1u);
    EXPECT_EQ(desk.recorder.waves[0].path, wave);  // trimmed
    EXPECT_TRUE(desk.recorder.waves[0].loop);
    EXPECT_EQ(desk.recorder.stops.load(), 2);  // StopWave, and the end of a run that played a sound
}

TEST_F(BuiltinRunTest, MatrixTextFiles) {
    const std::string path = folder.File("m.txt");
    EXPECT_EQ(Run("Matrix m[2][2]\nm[1][1] = 1\nm[1][2] = 2.5\nm[2][1] = 3\nm[2][2] = 0.25\nWriteMatrix m In " +
                  Quoted(path) + "\nMatrix k[1][4]\nReadMatrix k From " + Quoted(path) +
                  "\nCreateChart('k', 4, k)\n"),
              "");
    EXPECT_EQ(ReadBytes(path), Bytes("1\t2.5\r\r\n3\t0.25"));
    ASSERT_EQ(h.view.Charts().size(), 1u);
    EXPECT_EQ(h.view.Charts()[0].values, (std::vector<double>{1, 2.5, 3, 0.25}));
}

TEST_F(BuiltinRunTest, CreateChartForms) {
    struct Case {
        const char* script;
        const char* title;
        std::vector<double> values;
        std::vector<std::string> labels;
    };
    const std::vector<Case> cases = {
        {"Matrix c[3][1]\nc[1][1] = 4\nc[2][1] = 5\nCreateChart('col', 3, c)", "col", {4, 5, 0}, {}},
        {"Integer a[3]\na[1] = 1\na[2] = 2\na[3] = 3\nString s[3]\ns[1] = 'x'\ns[2] = 'y'\ns[3] = 'z'\n"
         "CreateChart(2.5, 2, a, s)",
         "2.5", {1, 2}, {"x", "y"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        ScriptHarness run;
        EXPECT_EQ(run.Run(c.script), "");
        ASSERT_EQ(run.view.Charts().size(), 1u);
        const RecordingView::Chart chart = run.view.Charts()[0];
        EXPECT_EQ(chart.title, c.title);
        EXPECT_EQ(chart.values, c.values);
        EXPECT_EQ(chart.count, static_cast<int>(c.values.size()));
        EXPECT_EQ(chart.labels, c.labels);
    }
}

}  // namespace
