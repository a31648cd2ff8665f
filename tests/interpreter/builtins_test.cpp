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

template <class Number>
std::vector<unsigned char> BytesOf(Number n) {
    std::vector<unsigned char> bytes(sizeof n);
    std::memcpy(bytes.data(), &n, sizeof n);
    return bytes;
}

class BuiltinValueTest : public ::testing::Test {
protected:
    // The first token of `text`, read with the File variable f declared, holding `bytes` opened in
    // `mode` (no file when mode is null). Each call starts afresh.
    ScannedToken FirstToken(const std::string& text, int executeFlag = 1, const std::vector<unsigned char>& bytes = {},
                            const char* mode = nullptr) {
        parser.PrepareScan(text, executeFlag);
        parser.DeclareVariable("f", kTypeFile, 1, 0, 0);
        if (mode != nullptr) {
            WriteBytes(folder.File("data.bin"), bytes);
            parser.variables[0].SetFile(crt::CrtFile::Open(folder.File("data.bin"), mode).release());
        }
        const int code = parser.ReadToken();
        return {code, parser.word};
    }
    void TearDown() override { parser.CutVariables(0); }

    DesktopScope desk;
    ScratchFolder folder;
    RecordingView view;
    TestParser parser{&view};
};

TEST_F(BuiltinValueTest, FileValuesAreLiteralsOfTheirWidth) {
    struct Case {
        const char* text;
        std::vector<unsigned char> bytes;
        const char* mode;
        const char* literal;
    };
    const std::vector<Case> cases = {
        {"FileRead1b(f)", {0xFF}, "rb", "-1"},
        {"FileRead4bi(f)", {0x01, 0x00, 0x00, 0x01}, "rb", "16777217"},
        {"FileRead4bf(f)", BytesOf(-2.5f), "rb", "-2.50000"},
        {"FileRead8b(f)", BytesOf(-0.1), "rb", "-0.100000000"},
        {"FileRead8b(f)", {1, 2, 3, 4, 5, 6, 7}, "rb", "0.000000000"},  // shorter than the read
        {"FileIsOpen(f)", {}, nullptr, "0"},
        {"FileReadString(5, f)", Bytes("ab\r\ncd"), "rt", "ab\n"},  // CR LF reads as LF, which stays
        {"FileReadString(5, f)", Bytes("ab\r\ncd"), "rb", "ab\r\n"},
    };
    for (const Case& c : cases) {
        const ScannedToken t = FirstToken(c.text, 1, c.bytes, c.mode);
        EXPECT_EQ(t.word, c.literal) << c.text;
        EXPECT_EQ(parser.ReadToken(), token::kEnd) << c.text;  // the arguments belong to the value
    }
    const ScannedToken cut = FirstToken("FileReadString(100000, f)", 1, std::vector<unsigned char>(60000, 'x'), "rb");
    EXPECT_EQ(cut.word.size(), static_cast<std::size_t>(CTesselParser::kStringLiteralLimit - 1));
}

TEST_F(BuiltinValueTest, WithoutAFileTheVariableIsReported) {
    for (const char* text : {"FileEOF(f)", "FileRead1b(f)", "FileReadString(3, f)"}) {
        FirstToken(text);
        EXPECT_EQ(parser.errorText, " Runtime Error : File Not Open.") << text;
        ASSERT_FALSE(view.Selections().empty());
        EXPECT_EQ(view.Selections().back(), std::make_pair(static_cast<int>(std::string(text).find("f)")), 1));
    }
}

TEST_F(BuiltinValueTest, TheCheckPassYieldsNeutralLiteralsAndTouchesNothing) {
    const std::string present = folder.File("present.txt");
    WriteBytes(present, Bytes("x"));
    desk.recorder.answers = {true};
    const std::vector<std::pair<std::string, const char*>> cases = {
        {"Clock", "0"}, {"Ask 'Go on?'", "0"}, {"FileRead8b(f)", "0"}, {"FileExists(" + Quoted(present) + ")", "0"},
        {"SelectFile('*.txt')", ""}, {"Yes", "1"},
    };
    for (const auto& [text, literal] : cases) {
        EXPECT_EQ(FirstToken(text, 0).word, literal) << text;
        EXPECT_EQ(parser.runState, kRunning) << text;
    }
    EXPECT_TRUE(desk.recorder.boxes.empty());
    EXPECT_EQ(desk.recorder.selections.load(), 0);
}

TEST_F(BuiltinValueTest, AValuePutBackIsNotEvaluatedAgain) {
    desk.recorder.answers = {true, false};
    EXPECT_EQ(FirstToken("Ask 'Go?' Then").word, "1");
    parser.UngetToken();
    EXPECT_EQ(parser.ReadToken(), token::kNumber);
    EXPECT_EQ(parser.word, "1");
    EXPECT_EQ(desk.recorder.boxes.size(), 1u);
    // A file read put back reads the same value; the next read goes on in the file.
    FirstToken("FileRead1b(f) FileRead1b(f)", 1, {5, 6}, "rb");
    parser.UngetToken();
    parser.ReadToken();
    EXPECT_EQ(parser.word, "5");
    parser.ReadToken();
    EXPECT_EQ(parser.word, "6");
}

class BuiltinRunTest : public ::testing::Test {
protected:
    std::string Run(const std::string& text) { return ScriptHarness().Run(text); }

    DesktopScope desk;
    ScratchFolder folder;
};

TEST_F(BuiltinRunTest, WritesStoreTheseBytes) {
    struct Case {
        const char* mode;
        const char* statement;
        std::vector<unsigned char> bytes;
    };
    const std::vector<Case> cases = {
        {"Binary", "FileWrite1b(f, 300)", {0x2C}},
        {"Binary", "FileWrite4bi(f, -2.7)", {0xFE, 0xFF, 0xFF, 0xFF}},
        {"Binary", "FileWrite4bf(f, 0.1)", BytesOf(0.1f)},
        {"Binary", "FileWrite4bu(f, 3000000000.0)", {0x00, 0x5E, 0xD0, 0xB2}},
        {"Text", "FileWriteString('a\nb', f)", Bytes("a\r\nb")},
        {"Text", "FileWriteString('a\\nb', f)", Bytes("a\r\r\nb")},  // the escape's LF becomes CR LF too
    };
    const std::string path = folder.File("w.bin");
    for (const Case& c : cases) {
        EXPECT_EQ(Run("File f\nFileOpen " + Quoted(path) + " For Writing " + c.mode + " In f\n" + c.statement), "")
            << c.statement;
        EXPECT_EQ(ReadBytes(path), c.bytes) << c.statement;  // closed at the end of the run
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

TEST_F(BuiltinRunTest, AStopDuringALongSleepEndsTheRun) {
    ScriptHarness h;
    ASSERT_EQ(h.Check("Sleep 50000\nCreateChart('after', 1, [1])\n"), 1);
    h.StartRun();
    std::thread stopper([&h] {
        // Whenever it lands (before or during the wait), the stop ends the run as a user stop.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        h.view.stopRequested = 1;
    });
    h.parser.WaitFinished();
    stopper.join();
    EXPECT_EQ(h.view.Pane(), "Program Terminated  By User.\r\n");
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

TEST_F(BuiltinRunTest, MatrixFilesAndCharts) {
    const std::string path = folder.File("m.txt");
    ScriptHarness h;
    EXPECT_EQ(h.Run("Matrix m[2][2]\nm[1][1] = 1\nm[1][2] = 2.5\nm[2][1] = 3\nm[2][2] = 0.25\nWriteMatrix m In " +
                    Quoted(path) + "\nMatrix k[1][4]\nReadMatrix k From " + Quoted(path) + "\nString s[4]\ns[2] = 'y'\n" +
                    "CreateChart(2.5, 4, k, s)\n"),
              "");
    EXPECT_EQ(ReadBytes(path), Bytes("1\t2.5\r\r\n3\t0.25"));
    ASSERT_EQ(h.view.Charts().size(), 1u);
    EXPECT_EQ(h.view.Charts()[0].title, "2.5");
    EXPECT_EQ(h.view.Charts()[0].values, (std::vector<double>{1, 2.5, 3, 0.25}));
    EXPECT_EQ(h.view.Charts()[0].labels, (std::vector<std::string>{"", "y", "", ""}));
    EXPECT_EQ(Run("Integer a[2]\nCreateChart('t', 3, a)"), RunErrorPane(" Runtime Error : Too few elements in array."));
}

}  // namespace
