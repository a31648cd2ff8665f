// Saving atomically: a save replaces the file whole or leaves the one that was there.
#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/temp_dir.h"

namespace {

TEST(AtomicFileTest, ASaveReplacesTheFileWholeOrLeavesTheOldOne) {
    struct Case {
        const char* what;
        const char* target;  // in the folder; "link" is a symbolic link to "f"
        bool writeSucceeds;
        crt::SaveResult result;
        const char* after;  // of "f"
    };
    for (const Case& c : {Case{"written", "f", true, crt::kSaved, "new\r\n"},
                          Case{"a write failed", "f", false, crt::kSaveCannotWrite, "old"},
                          Case{"no such folder", "none/f", true, crt::kSaveCannotCreate, "old"},
                          Case{"through a link", "link", true, crt::kSaved, "new\r\n"}}) {
        platform_test::TempDir dir;
        platform_test::WriteBytes(dir.File("f"), "old");
        std::filesystem::create_symlink(dir.File("f"), dir.File("link"));
        const crt::SaveResult result = crt::SaveFileAtomically(dir.File(c.target), "wt", [&](crt::CrtFile& file) {
            return file.Puts("new\n") && c.writeSucceeds;
        });
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(platform_test::ReadBytes(dir.File("f")), c.after) << c.what;
        EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link"))) << c.what;
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++files;
        EXPECT_EQ(files, 2u) << c.what << ": no temporary file is left";
    }
}

}  // namespace
