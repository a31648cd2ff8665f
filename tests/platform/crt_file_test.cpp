#include "platform/crt_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "temp_dir.h"

namespace {

using platform_test::ReadBytes;
using platform_test::TempDir;
using platform_test::WriteBytes;

// Each test has a folder of its own; OpenWith puts bytes in a file there and opens it.
class CrtFileTest : public ::testing::Test {
protected:
    std::unique_ptr<crt::CrtFile> OpenWith(const std::string& name, const std::string& bytes, const char* mode) {
        WriteBytes(dir.File(name), bytes);
        return crt::CrtFile::Open(dir.File(name), mode);
    }

    TempDir dir;
};

std::string ReadAll(crt::CrtFile& f) {
    std::string out;
    char c = 0;
    while (f.Read(&c, 1, 1) == 1) out.push_back(c);
    return out;
}

struct WriteCase {
    const char* mode;
    std::string written;
    std::string onDisk;
};

TEST_F(CrtFileTest, WritesTranslateLineFeedsOnlyInTextModes) {
    const std::vector<WriteCase> cases = {
        {"wt", "a\nb", "a\r\nb"},
        {"wt", "a\r\nb", "a\r\r\nb"},  // the CR CR LF of matrix text files
        {"w", "x\n", "x\r\n"},  // neither t nor b: text
        {"wb", "a\nb\r\n", "a\nb\r\n"},
    };
    for (const WriteCase& c : cases) {
        const std::string path = dir.File("out.txt");
        auto f = crt::CrtFile::Open(path, c.mode);
        ASSERT_NE(f, nullptr) << c.mode;
        EXPECT_EQ(f->Write(c.written.data(), 1, c.written.size()), c.written.size()) << c.mode;
        EXPECT_TRUE(f->Close());
        EXPECT_EQ(ReadBytes(path), c.onDisk) << c.mode << " " << c.written;
    }
}

// Writes of one file one after another, a large one among small ones: each is translated whole
// and counted whole, whatever the one before it held.
TEST_F(CrtFileTest, WritesInTurnEachTranslateTheirOwnBytes) {
    const std::string large = std::string(70000, 'x') + "\n";
    const std::vector<std::string> writes = {"ab\n", large, "c", "\n\nd", large, "e\n"};
    const std::string path = dir.File("turns.txt");
    auto f = crt::CrtFile::Open(path, "wt");
    ASSERT_NE(f, nullptr);
    std::string expected;
    for (const std::string& text : writes) {
        EXPECT_EQ(f->Write(text.data(), 1, text.size()), text.size()) << text.size();
        for (const char c : text) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_TRUE(f->Close());
    EXPECT_EQ(ReadBytes(path), expected);
}

struct ReadCase {
    const char* mode;
    std::string onDisk;
    std::string read;
};

TEST_F(CrtFileTest, ReadsTranslateCrLfAndStopAtCtrlZOnlyInTextModes) {
    const std::vector<ReadCase> cases = {
        {"rt", "a\r\nb", "a\nb"},
        {"rt", "a\r\r\nb", "a\r\nb"},
        {"rt", "a\rb", "a\rb"},  // a lone CR stays
        {"rt", "ab\x1A" "cd", "ab"},
        {"rb", "a\r\n\x1A" "b", "a\r\n\x1A" "b"},
    };
    for (const ReadCase& c : cases) {
        auto f = OpenWith("in.txt", c.onDisk, c.mode);
        ASSERT_NE(f, nullptr) << c.mode;
        EXPECT_EQ(ReadAll(*f), c.read) << c.mode;
        EXPECT_TRUE(f->Eof()) << c.mode;
    }
}

struct GetsCase {
    std::string onDisk;
    int maxChars;
    std::vector<std::string> lines;  // what successive calls give until one fails
};

TEST_F(CrtFileTest, GetsReadsUpToMaxMinusOneAndStopsAfterLineFeed) {
    const std::vector<GetsCase> cases = {
        {"ab\r\ncd", 100, {"ab\n", "cd"}},
        {"xy\n", 6, {"xy\n"}},  // a count of 5 reads two letters and the line feed
        {"abcd", 3, {"ab", "cd"}},
    };
    for (const GetsCase& c : cases) {
        auto f = OpenWith("gets.txt", c.onDisk, "rt");
        ASSERT_NE(f, nullptr);
        std::vector<std::string> got;
        std::string line;
        while (got.size() < 10 && f->Gets(line, c.maxChars)) got.push_back(line);
        EXPECT_EQ(got, c.lines) << c.onDisk;
        EXPECT_TRUE(line.empty());
    }
}

TEST_F(CrtFileTest, TellAndSeekUseFileOffsetsInTextMode) {
    auto f = OpenWith("pos.txt", "a\r\nb\r\n", "rt");
    ASSERT_NE(f, nullptr);
    char buffer[2] = {};
    ASSERT_EQ(f->Read(buffer, 1, 2), 2u);
    EXPECT_EQ(std::string(buffer, 2), "a\n");
    EXPECT_EQ(f->Tell(), 3);
    EXPECT_EQ(f->Length(), 6);
    EXPECT_EQ(f->Tell(), 3);  // Length keeps the position
    EXPECT_EQ(f->Seek(-2, SEEK_END), 0);
    EXPECT_EQ(f->Tell(), 4);
    EXPECT_EQ(ReadAll(*f), "\n");
    EXPECT_EQ(f->Seek(1, SEEK_SET), 0);
    EXPECT_EQ(ReadAll(*f), "\nb\n");  // from offset 1 the CR LF pairs read as LF
    EXPECT_EQ(f->Seek(0, 99), -1);
    EXPECT_EQ(f->Seek(-1, SEEK_SET), -1);
}

TEST_F(CrtFileTest, RelativeSeekAfterALookAheadPastACarriageReturn) {
    auto f = OpenWith("look.txt", "a\rbcd", "rt");
    ASSERT_NE(f, nullptr);
    char buffer[2] = {};
    ASSERT_EQ(f->Read(buffer, 1, 2), 2u);  // reading the CR looked at the "b"
    EXPECT_EQ(f->Tell(), 2);
    EXPECT_EQ(f->Seek(1, SEEK_CUR), 0);  // past the "b"
    EXPECT_EQ(ReadAll(*f), "cd");
}

TEST_F(CrtFileTest, EofIsSetOnlyByAReadThatHitsTheEndAndClearedBySeek) {
    const std::string path = dir.File("eof.bin");
    WriteBytes(path, "abcd");
    for (const char* mode : {"rb", "rt"}) {
        auto f = crt::CrtFile::Open(path, mode);
        ASSERT_NE(f, nullptr);
        char buffer[4] = {};
        EXPECT_EQ(f->Read(buffer, 1, 4), 4u);
        EXPECT_FALSE(f->Eof()) << mode;
        EXPECT_EQ(f->Read(buffer, 1, 1), 0u);
        EXPECT_TRUE(f->Eof()) << mode;
        EXPECT_EQ(f->Seek(0, SEEK_CUR), 0);
        EXPECT_FALSE(f->Eof()) << mode;
    }
}

TEST_F(CrtFileTest, OpenRefusesBadModesMissingFilesAndFolders) {
    const std::string existing = dir.File("e.txt");
    WriteBytes(existing, "x");
    struct OpenCase {
        std::string path;
        const char* mode;
        bool opens;
    };
    const std::vector<OpenCase> cases = {
        {existing, "rb+", true},  {existing, "r", true},    {existing, "", false}, {existing, "rtb", false},
        {existing, "r++", false}, {dir.File("missing"), "r+b", false}, {dir.Path(), "rb", false},
        {std::string("bad\0name", 8), "wt", false},
    };
    for (const OpenCase& c : cases) {
        EXPECT_EQ(crt::CrtFile::Open(c.path, c.mode) != nullptr, c.opens) << c.path << " " << c.mode;
    }
    EXPECT_EQ(ReadBytes(existing), "x");
}

TEST_F(CrtFileTest, ScriptPathsAreCp1256WithWindowsSeparators) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"data\\pairs.txt", "data/pairs.txt"},
        {"\xC7\xE1.txt", "\xD8\xA7\xD9\x84.txt"},
    };
    for (const auto& [script, system] : cases) EXPECT_EQ(crt::ToSystemPath(script), system);

    std::filesystem::create_directories(dir.File("sub"));
    auto f = crt::CrtFile::Open(dir.File("sub") + "\\\xC7.txt", "wt");
    ASSERT_NE(f, nullptr);
    f->Puts("x\n");
    f->Close();
    EXPECT_EQ(ReadBytes(dir.File("sub/\xD8\xA7.txt")), "x\r\n");
    EXPECT_TRUE(crt::FileExists(dir.File("sub\\\xC7.txt")));
}

}  // namespace
