// Saving atomically: a save replaces the file whole or leaves the one that was there.
#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/temp_dir.h"

namespace {

using platform_test::ReadBytes;
using platform_test::TempDir;
using platform_test::WriteBytes;

std::size_t FilesIn(const std::string& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}

TEST(AtomicFileTest, ASaveReplacesTheFileWholeOrLeavesTheOldOne) {
    struct Case {
        const char* what;
        bool writeSucceeds;
        crt::SaveResult result;
        const char* after;
    };
    for (const Case& c : {Case{"written", true, crt::kSaved, "new\r\n"},
                          Case{"a write failed", false, crt::kSaveCannotWrite, "old"}}) {
        TempDir dir;
        const std::string path = dir.File("f.txt");
        WriteBytes(path, "old");
        const crt::SaveResult result = crt::SaveFileAtomically(path, "wt", [&](crt::CrtFile& file) {
            return file.Puts("new\n") && c.writeSucceeds;
        });
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(ReadBytes(path), c.after) << c.what;
        EXPECT_EQ(FilesIn(dir.Path()), 1u) << c.what << ": no temporary file is left";
    }
}

TEST(AtomicFileTest, FailuresSayWhetherTheFileCouldBeMadeOrWritten) {
    TempDir dir;
    const auto write = [](crt::CrtFile& file) { return file.Puts(std::string(100000, 'x')); };
    EXPECT_EQ(crt::SaveFileAtomically(dir.File("no/such/f"), "wb", write), crt::kSaveCannotCreate);
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    EXPECT_EQ(crt::SaveFileAtomically("/dev/full", "wb", write), crt::kSaveCannotWrite);
}

TEST(AtomicFileTest, ASymbolicLinkStaysAndItsFileIsReplaced) {
    TempDir dir;
    WriteBytes(dir.File("real"), "old");
    std::filesystem::create_symlink(dir.File("real"), dir.File("link"));
    EXPECT_EQ(crt::SaveFileAtomically(dir.File("link"), "wb", [](crt::CrtFile& f) { return f.Puts("new"); }),
              crt::kSaved);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link")));
    EXPECT_EQ(ReadBytes(dir.File("real")), "new");
}

}  // namespace
