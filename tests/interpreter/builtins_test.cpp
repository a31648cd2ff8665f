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
        {"FileRead1b(f)", {0x7F}, "127"},
        {"FileRead2b(f)", {0xFF, 0x7F}, "32767"},
        {"FileRead2b(f)", {0x00, 0x80}, "-32768"},
        {"FileRead2bu(f)", {0x00, 0x80}, "32768"},
        {"FileRead4bi(f)", {0x01, 0x00, 0x00, 0x01}, "16777217"},
        {"FileRead4bi(f)", {0x00, 0x00, 0x00, 0x80}, "-2147483648"},
        {"FileRead4bu(f)", {0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"},
        {"FileRead4bf(f)", FloatBytes(0.1f), "0.10000"},
        {"FileRead4bf(f)", FloatBytes(-2.5f), "-2.50000"},
        {"FileRead8b(f)", DoubleBytes(2.5), "2.500000000"},
        {"FileRead8b(f)", DoubleBytes(-0.1), "-0.100000000"},
        {"FileRead8b(f)", DoubleBytes(1e20), "100000000000000000000.000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ScannedToken t = ReadFromFile(c.text, c.bytes);
        EXPECT_EQ(t.code, token::kNumber);
        EXPECT_EQ(t.word, c.literal);
        EXPECT_EQ(parser.ReadToken(), token::kEnd);  // the arguments belong to the value
    }
}

TEST_F(BuiltinValueTest, ABinaryReadAtTheEndOfTheFileYieldsZero) {
    struct Case {
        const char* text;
        std::vector<unsigned char> bytes;  // shorter than the read
        const char* literal;
    };
    const std::vector<Case> cases = {
        {"FileRead1b(f)", {}, "0"},          {"FileRead1bu(f)", {}, "0"},
        {"FileRead2b(f)", {0xFF}, "0"},      {"FileRead2bu(f)", {0xFF}, "0"},
        {"FileRead4bi(f)", {0xFF, 0xFF}, "0"}, {"FileRead4bu(f)", {0xFF, 0xFF, 0xFF}, "0"},
        {"FileRead4bf(f)", {0xFF}, "0.00000"}, {"FileRead8b(f)", {1, 2, 3, 4, 5, 6, 7}, "0.000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ScannedToken t = ReadFromFile(c.text, c.bytes);
        EXPECT_EQ(t.word, c.literal);
        EXPECT_TRUE(parser.variables[0].value.file->Eof());
        EXPECT_TRUE(parser.errorText.empty());
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

TEST_F(BuiltinValueTest, ArgumentErrors) {
    struct Case {
        const char* text;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"FileEOF(g)", " Syntax Error : Unknown Variable."},
        {"FileEOF f", "   Expected :  \"  (  \"   "},
        {"FileEOF(f", "   Expected :  \"  )  \"   "},
        {"FileReadString(3 f)", "   Expected :  \"  ,  \"   "},
        {"FileReadString('a', f)", " Syntax Error : STRINGS not allowed here."},
    };
    for (int executeFlag : {0, 1}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.text) + (executeFlag ? " run" : " check"));
            FirstToken(c.text, executeFlag);
            EXPECT_EQ(parser.runState, kEndedByError);
            const std::string shown = executeFlag ? parser.errorText : view.Pane();
            EXPECT_EQ(shown, c.error);
        }
    }
    // A variable that is not a File.
    parser.PrepareScan("FileEOF(n)", 1);
    parser.DeclareVariable("n", kTypeInteger, 1, 0, 0);
    parser.ReadToken();
    EXPECT_EQ(parser.errorText, " Syntax Error : File_Type Variable Expected.");
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
        {"FileSize(f)", token::kNumber, "0"},
        {"FileEOF(f)", token::kNumber, "0"},
        {"FileIsOpen(f)", token::kNumber, "0"},
        {"FileExists(" + Quoted(present) + ")", token::kNumber, "0"},
        {"FileReadString(5, f)", token::kStringValue, ""},
        {"SelectFile('*.txt')", token::kStringValue, ""},
        {"True", token::kNumber, "1"},
        {"Yes", token::kNumber, "1"},
        {"False", token::kNumber, "0"},
        {"No", token::kNumber, "0"},
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

TEST_F(BuiltinValueTest, ConstantsInARun) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"True", "1"}, {"Yes", "1"}, {"False", "0"}, {"No", "0"}};
    for (const auto& [text, literal] : cases) {
        EXPECT_EQ(FirstToken(text).word, literal) << text;
    }
    const ScannedToken clock = FirstToken("Clock");
    EXPECT_EQ(clock.code, token::kNumber);
    EXPECT_FALSE(clock.word.empty());
    EXPECT_EQ(clock.word.find_first_not_of("0123456789"), std::string::npos);
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

TEST_F(BuiltinValueTest, FileReadStringCountBelowOneIsRefusedInARun) {
    for (const char* text : {"FileReadString(0, f)", "FileReadString(-4, f)"}) {
        ReadFromFile(text, Bytes("abc"));
        EXPECT_EQ(parser.errorText, " Syntax Error : This command takes POSITIVE Values.") << text;
    }
    FirstToken("FileReadString(0, f)", 0);
    EXPECT_EQ(parser.runState, kRunning);
}

TEST_F(BuiltinValueTest, FileExistsNamesTheFileByTheValuesText) {
    const std::string present = folder.File("present.txt");
    WriteBytes(present, Bytes("x"));
    const std::vector<std::pair<std::string, const char*>> cases = {
        {"FileExists(" + Quoted(present) + ")", "1"},
        {"FileExists(" + Quoted(folder.File("absent.txt")) + ")", "0"},
        {"FileExists('')", "0"},
    };
    for (const auto& [text, literal] : cases) {
        EXPECT_EQ(FirstToken(text).word, literal) << text;
    }
}

TEST_F(BuiltinValueTest, SelectFileGivesTheChosenPathOrNothing) {
    for (const std::string chosen : {"/data/x.txt", ""}) {
        desk.recorder.selectedFile = chosen;
        const ScannedToken t = FirstToken("SelectFile('*.txt')");
        EXPECT_EQ(t.code, token::kStringValue);
        EXPECT_EQ(t.word, chosen);
    }
    ASSERT_EQ(desk.recorder.selections.size(), 2u);
    EXPECT_EQ(desk.recorder.selections[0].filterTitle, "Tessel Select File ..................*.txt");
    EXPECT_EQ(desk.recorder.selections[0].pattern, "*.txt");
}

TEST_F(BuiltinValueTest, AskPutsTheQuestionWithYesAndNo) {
    for (bool yes : {true, false}) {
        desk.recorder.answers = {yes};
        EXPECT_EQ(FirstToken("Ask 'Go on?'").word, yes ? "1" : "0");
    }
    ASSERT_EQ(desk.recorder.boxes.size(), 2u);
    const RecordingDesktop::Box& box = desk.recorder.boxes[0];
    EXPECT_EQ(box.text, "Go on?");
    EXPECT_EQ(box.caption, "Loriant Script");
    EXPECT_EQ(box.style, 0x24u);
    EXPECT_EQ(box.owner, parser.ownerWindow);
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

TEST_F(BuiltinValueTest, ScanningTheSameTextAgainEvaluatesAgain) {
    // A loop pass reads on past the value before it scans the same text again.
    ReadFromFile("FileRead1b(f) ;", {5, 6});
    EXPECT_EQ(parser.ReadToken(), 7);
    ScanMark start;
    parser.RestorePosition(start);
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

TEST_F(BuiltinRunTest, AConditionAsksItsQuestionOnce) {
    const std::string script =
        "If Ask 'Go on?' Then\nCreateChart('yes', 1, [1])\nElse\nCreateChart('no', 1, [1])\nEndif\n";
    for (bool yes : {true, false}) {
        DesktopScope local;
        local.recorder.answers = {yes};
        ScriptHarness run;
        EXPECT_EQ(run.Run(script), "");
        EXPECT_EQ(local.recorder.boxes.size(), 1u);
        ASSERT_EQ(run.view.Charts().size(), 1u);
        EXPECT_EQ(run.view.Charts()[0].title, yes ? "yes" : "no");
    }
}

TEST_F(BuiltinRunTest, ALoopAsksOncePerPass) {
    desk.recorder.answers = {true, true, false};
    EXPECT_EQ(Run("Integer n\nWhile Ask 'more?'\nn = n + 1\nWend\nCreateChart('n', 1, [n])\n"), "");
    EXPECT_EQ(desk.recorder.boxes.size(), 3u);
    ASSERT_EQ(h.view.Charts().size(), 1u);
    EXPECT_EQ(h.view.Charts()[0].values, std::vector<double>{2.0});
}

TEST_F(BuiltinRunTest, ALoopEndingTheTextAsksOncePerPass) {
    // The condition is the last thing in the text: nothing is read after it before the next pass.
    desk.recorder.answers = {true, true, false};
    EXPECT_EQ(Run("Integer n\nDo\nn = n + 1\nWhile Ask 'again?'"), "");
    EXPECT_EQ(desk.recorder.boxes.size(), 3u);
}

TEST_F(BuiltinRunTest, BinaryWritesStoreTheseBytes) {
    struct Case {
        const char* command;
        const char* value;
        std::vector<unsigned char> bytes;
    };
    const std::vector<Case> cases = {
        {"FileWrite1b", "300", {0x2C}},
        {"FileWrite1b", "-1", {0xFF}},
        {"FileWrite1bu", "255.9", {0xFF}},
        {"FileWrite2b", "-1", {0xFF, 0xFF}},
        {"FileWrite2bu", "65537", {0x01, 0x00}},
        {"FileWrite4bi", "-2", {0xFE, 0xFF, 0xFF, 0xFF}},
        {"FileWrite4bi", "2.7", {0x02, 0x00, 0x00, 0x00}},
        {"FileWrite4bi", "-2.7", {0xFE, 0xFF, 0xFF, 0xFF}},
        {"FileWrite4bf", "0.1", FloatBytes(0.1f)},
        {"FileWrite8b", "2.5", DoubleBytes(2.5)},
        {"FileWrite8b", "7", DoubleBytes(7.0)},
        {"FileWrite4bu", "4294967295.0", {0xFF, 0xFF, 0xFF, 0xFF}},
        {"FileWrite4bu", "3000000000.0", {0x00, 0x5E, 0xD0, 0xB2}},
        {"FileWrite4bu", "-1", {0xFF, 0xFF, 0xFF, 0xFF}},
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

TEST_F(BuiltinRunTest, ABinaryWriteRefusesAString) {
    int ok = 1;
    EXPECT_EQ(CheckScript("File f\nFileWrite2b(f, 'x')\n", &ok), " Syntax Error : STRINGS not allowed here.");
    EXPECT_EQ(ok, 0);
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

TEST_F(BuiltinRunTest, FileOpenThatFailsLeavesNoFileAndSaysNothing) {
    const std::string missing = Quoted(folder.File("missing.bin"));
    EXPECT_EQ(Run("File f\nFileOpen " + missing + " For Editting Binary In f\nFileClose(f)\n"),
              RunErrorPane(" Runtime Error : File Not Open."));
    EXPECT_FALSE(std::filesystem::exists(folder.File("missing.bin")));
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

TEST_F(BuiltinRunTest, FileCloseClearsEveryRecordSharingTheFile) {
    TestParser& p = h.parser;
    p.PrepareScan("FileClose(f)", 1);
    p.DeclareVariable("f", kTypeFile, 1, 0, 0);
    p.DeclareVariable("g", kTypeFile, 1, 0, 0);
    crt::CrtFile* file = crt::CrtFile::Open(folder.File("shared.txt"), "wt").release();
    p.variables[0].SetFile(file);
    p.variables[1].SetFile(file);
    ASSERT_EQ(p.ReadToken(), 84);
    EXPECT_EQ(p.ExecuteCommand(84), 1);
    EXPECT_EQ(p.variables[0].value.file, nullptr);
    EXPECT_EQ(p.variables[1].value.file, nullptr);
}

TEST_F(BuiltinRunTest, SeeksFromEachOrigin) {
    const std::string path = folder.File("d.bin");
    WriteBytes(path, Bytes("0123456789"));
    struct Case {
        const char* seek;
        const char* expected;  // the byte read after the seek
    };
    const std::vector<Case> cases = {
        {"FileSeekSet(f, 3)", "3"}, {"FileSeekCur(f, 2)", "2"}, {"FileSeekEnd(f, -1)", "9"},
        {"FileSeekSet(f, 4.8)", "4"},
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

TEST_F(BuiltinRunTest, FilesLeftOpenAreClosedAtTheEndOfTheRun) {
    const std::string path = folder.File("left.txt");
    EXPECT_EQ(Run("File f\nFileOpen " + Quoted(path) + " For Writing Text In f\nFileWriteString('kept', f)\n"), "");
    EXPECT_EQ(ReadBytes(path), Bytes("kept"));
}

TEST_F(BuiltinRunTest, NumberArgumentsRefuseNegativeSleepsAndValuesWithoutANumber) {
    struct Case {
        const char* script;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"Sleep -1\n", " Syntax Error : This command takes POSITIVE Values."},
        {"Sleep 'x'\n", " Syntax Error : STRINGS not allowed here."},
        {"Matrix m[1][1]\nSleep m\n", " Syntax Error : MATRIX or FILE not allowed here."},
        {"File f\nBeep f\n", " Syntax Error : MATRIX or FILE not allowed here."},
    };
    for (const Case& c : cases) {
        int ok = 1;
        EXPECT_EQ(CheckScript(c.script, &ok), c.error) << c.script;
        EXPECT_EQ(ok, 0);
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

TEST_F(BuiltinRunTest, MessageBoxesShowTheValuesText) {
    struct Case {
        const char* script;
        const char* text;
        unsigned style;
    };
    const std::vector<Case> cases = {
        {"MsgBoxInfo 2.5", "2.5", 0x40}, {"MsgBoxInfo 7", "7", 0x40},
        {"MsgBoxError 'bad'", "bad", 0x10}, {"MsgBoxError -3", "-3", 0x10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        DesktopScope local;
        ScriptHarness run;
        EXPECT_EQ(run.Run(c.script), "");
        ASSERT_EQ(local.recorder.boxes.size(), 1u);
        EXPECT_EQ(local.recorder.boxes[0].text, c.text);
        EXPECT_EQ(local.recorder.boxes[0].caption, "Loriant Script");
        EXPECT_EQ(local.recorder.boxes[0].style, c.style);
    }
    EXPECT_EQ(Run("Matrix m[1][1]\nMsgBoxInfo m\n"), "");
    EXPECT_TRUE(desk.recorder.boxes.empty());
}

TEST_F(BuiltinRunTest, BeepPassesTheNumberAsASoundType) {
    EXPECT_EQ(Run("Beep 16\nBeep -1\nBeep 2.9\nBeep 4294967295.0\n"), "");
    EXPECT_EQ(desk.recorder.beeps, (std::vector<unsigned>{16u, 0xFFFFFFFFu, 2u, 0xFFFFFFFFu}));
}

TEST_F(BuiltinRunTest, ExecuteAndPlayOpenTheTrimmedText) {
    EXPECT_EQ(Run("Execute '  notes.txt \t'\nPlay 12\n"), "");
    EXPECT_EQ(desk.recorder.opened, (std::vector<std::string>{"notes.txt", "12"}));
}

TEST_F(BuiltinRunTest, PlayWaveOptionsAndMissingWave) {
    const std::string wave = folder.File("a.wav");
    WriteBytes(wave, Bytes("RIFF"));
    const std::string missing = folder.File("none.wav");
    EXPECT_EQ(Run("PlayWave " + Quoted(wave) + "\nPlayWave ' " + wave + " ', LOOP\nPlayWave " + Quoted(wave) +
                  ", WAIT\nPlayWave " + Quoted(missing) + "\nStopWave\n"),
              "");
    ASSERT_EQ(desk.recorder.waves.size(), 3u);
    EXPECT_EQ(desk.recorder.waves[0].path, wave);
    EXPECT_FALSE(desk.recorder.waves[0].loop || desk.recorder.waves[0].wait);
    EXPECT_EQ(desk.recorder.waves[1].path, wave);  // trimmed
    EXPECT_TRUE(desk.recorder.waves[1].loop);
    EXPECT_TRUE(desk.recorder.waves[2].wait);
    ASSERT_EQ(desk.recorder.boxes.size(), 1u);
    EXPECT_EQ(desk.recorder.boxes[0].text, "ERROR : Wave Not Found. \n\n \" " + missing + " \"");
    EXPECT_EQ(desk.recorder.boxes[0].style, 0x10u);
    EXPECT_EQ(desk.recorder.stops.load(), 2);  // StopWave, and the end of a run that played a sound
}

TEST_F(BuiltinRunTest, PlayWaveWithAnotherOptionWordIsRefused) {
    EXPECT_EQ(CheckScript("PlayWave 'a.wav', Text\n"), " Syntax Error : \"LOOP\"   Or  \"WAIT\"  Expected. ");
}

TEST_F(BuiltinRunTest, CopyToClipboardCopiesTheValuesText) {
    EXPECT_EQ(Run("CopyToClipboard 2.5\nCopyToClipboard 'x'\nMatrix m[1][2]\nm[1][2] = 3\nCopyToClipboard m\n"), "");
    EXPECT_EQ(desk.recorder.clipboard, (std::vector<std::string>{"2.5", "x", "0\t3"}));
}

TEST_F(BuiltinRunTest, BiggestArraySetsTheGrowStepFromOne) {
    struct Case {
        const char* text;
        int step;
    };
    const std::vector<Case> cases = {
        {"BiggestArray = 777", 777}, {"BiggestArray = 12.7", 12}, {"BiggestArray = 1", 1},
        {"BiggestArray = 0", CTesselParser::kDefaultVariableStep},
        {"BiggestArray = -3", CTesselParser::kDefaultVariableStep},
    };
    for (int executeFlag : {0, 1}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.text);
            h.parser.PrepareScan(c.text, executeFlag);
            ASSERT_EQ(h.parser.ReadToken(), 72);
            EXPECT_EQ(h.parser.ExecuteCommand(72), 1);
            EXPECT_EQ(h.parser.variables.GetGrowBy(), c.step);
        }
    }
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

TEST_F(BuiltinRunTest, MatrixTextFileErrors) {
    struct Case {
        std::string script;
        std::string pane;
    };
    const std::vector<Case> cases = {
        {"Matrix k[1][1]\nReadMatrix k From " + Quoted(folder.File("none.txt")) + "\n",
         RunErrorPane(" Runtime Error : File Not Found.")},
        {"Matrix k[1][1]\nWriteMatrix k In " + Quoted(folder.File("no/such/m.txt")) + "\n",
         RunErrorPane(" Runtime Error : Cannot open file.")},
        {"Float k\nReadMatrix k From 'x'\n", " Syntax Error : Matrix Variable expected."},
        {"WriteMatrix k In 'x'\n", " Syntax Error : Unknown Variable."},
        {"Matrix k[1][1]\nReadMatrix k In 'x'\n", "   Expected :  \"  From  \"   "},
        {"Matrix k[1][1]\nWriteMatrix k From 'x'\n", "   Expected :  \"  In  \"   "},
    };
    for (const Case& c : cases) {
        ScriptHarness run;
        EXPECT_EQ(run.Run(c.script), c.pane) << c.script;
    }
}

TEST_F(BuiltinRunTest, CreateChartForms) {
    struct Case {
        const char* script;
        const char* title;
        std::vector<double> values;
        std::vector<std::string> labels;
    };
    const std::vector<Case> cases = {
        {"CreateChart('t', 3, [1, 2, 3])", "t", {1, 2, 3}, {}},
        {"Matrix c[3][1]\nc[1][1] = 4\nc[2][1] = 5\nc[3][1] = 6\nCreateChart('col', 3, c)", "col", {4, 5, 6}, {}},
        {"Matrix r[1][3]\nr[1][1] = 7\nr[1][3] = 9\nCreateChart('row', 3, r)", "row", {7, 0, 9}, {}},
        {"Integer a[3]\na[1] = 1\na[2] = 2\na[3] = 3\nString s[3]\ns[1] = 'x'\ns[2] = 'y'\ns[3] = 'z'\n"
         "CreateChart(2.5, 2, a, s)",
         "2.5", {1, 2}, {"x", "y"}},
        {"Float a[2]\na[1] = 0.5\na[2] = 1.5\nCreateChart('f', 2, a)", "f", {0.5, 1.5}, {}},
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

TEST_F(BuiltinRunTest, CreateChartErrors) {
    struct Case {
        const char* script;
        std::string pane;
    };
    const std::vector<Case> cases = {
        {"Integer a[2]\nCreateChart('t', 3, a)", RunErrorPane(" Runtime Error : Too few elements in array.")},
        {"String s[2]\nCreateChart('t', 2, s)", RunErrorPane(" Runtime Error : Numerical array expected.")},
        {"CreateChart('t', 0, [1])", RunErrorPane(" Syntax Error : This command takes POSITIVE Values.")},
        {"Integer a[2]\nInteger l[2]\nCreateChart('t', 2, a, l)",
         RunErrorPane(" Runtime Error : Array of Strings expected.")},
        {"Integer a[3]\nString l[2]\nCreateChart('t', 3, a, l)",
         RunErrorPane(" Runtime Error : Too few elements in array.")},
        {"Integer a[2]\nString l\nCreateChart('t', 2, a, l)", " Runtime Error : Array of Strings expected."},
        {"CreateChart('t', 2, nothing)", " Syntax Error : Unknown Variable."},
        {"Integer x\nCreateChart('t', 1, x)",
         " Syntax Error : One-column matrix OR one-row matrix OR an array expected."},
        {"Integer a[3]\nCreateChart('t', 2.5, a)", " Syntax Error : Expression must be integer."},
        {"Matrix m[2][2]\nCreateChart('t', 3, m)", " Syntax Error : Matrix dimensions mismatch."},
        {"Integer a[2]\nCreateChart('t', 2, a", "   Expected :  \"  )  \"   "},
    };
    for (const Case& c : cases) {
        ScriptHarness run;
        EXPECT_EQ(run.Run(c.script), c.pane) << c.script;
        EXPECT_TRUE(run.view.Charts().empty());
    }
}

}  // namespace
