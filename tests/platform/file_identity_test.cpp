// Which file a name stands for: every name of one file is that file, whether it exists or a
// save is still to make it, and two files are never one.
#include "platform/file_identity.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/temp_dir.h"

namespace {

using file_identity::FileIdentity;

TEST(FileIdentityTest, EveryNameOfOneFileIsThatFile) {
    platform_test::TempDir dir;
    std::filesystem::create_directories(dir.File("real"));
    std::filesystem::create_directories(dir.File("other"));
    platform_test::WriteBytes(dir.File("real/x.NNProg"), "x");
    platform_test::WriteBytes(dir.File("other/x.NNProg"), "x");
    std::filesystem::create_directory_symlink(dir.File("real"), dir.File("lnk"));
    std::filesystem::create_symlink(dir.File("real/x.NNProg"), dir.File("file-link.NNProg"));
    std::filesystem::create_symlink("real/x.NNProg", dir.File("relative-link.NNProg"));
    std::filesystem::create_hard_link(dir.File("real/x.NNProg"), dir.File("hard.NNProg"));
    std::filesystem::create_symlink(dir.File("real/gone.NNProg"), dir.File("dangling.NNProg"));
    const struct {
        std::string name;
        std::string other;
        bool same;
    } cases[] = {
        {"real/x.NNProg", "real/x.NNProg", true},
        {"real/x.NNProg", "lnk/x.NNProg", true},
        {"real/x.NNProg", "file-link.NNProg", true},
        {"real/x.NNProg", "relative-link.NNProg", true},
        {"real/x.NNProg", "hard.NNProg", true},
        {"real/x.NNProg", "other/../real/./x.NNProg", true},
        {"real/x.NNProg", "other/x.NNProg", false},
        {"real/x.NNProg", "real/y.NNProg", false},
        // Not there yet: the name in its folder, the folder by any of its names.
        {"real/new.NNProg", "lnk/new.NNProg", true},
        {"real/new.NNProg", "lnk/../real/new.NNProg", true},
        {"real/new.NNProg", "other/new.NNProg", false},
        {"real/new.NNProg", "real/x.NNProg", false},
        // A save through a link whose file is gone replaces the link: it is the link's own name.
        {"dangling.NNProg", "real/gone.NNProg", false},
        {"dangling.NNProg", "dangling.NNProg", true},
        // No folder: by the name alone.
        {"none/a.NNProg", "none/./a.NNProg", true},
        {"none/a.NNProg", "none/b.NNProg", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileIdentity::Of(dir.File(c.name)) == FileIdentity::Of(dir.File(c.other)), c.same)
            << c.name << " / " << c.other;
    }
}

TEST(FileIdentityTest, AFileDeletedOnDiskIsStillFoundThroughALinkedFolder) {
    platform_test::TempDir dir;
    std::filesystem::create_directories(dir.File("real"));
    std::filesystem::create_directory_symlink(dir.File("real"), dir.File("lnk"));
    platform_test::WriteBytes(dir.File("real/x.NNProg"), "x");
    const FileIdentity before = FileIdentity::Of(dir.File("real/x.NNProg"));
    ASSERT_EQ(before, FileIdentity::Of(dir.File("lnk/x.NNProg")));
    std::filesystem::remove(dir.File("real/x.NNProg"));
    EXPECT_NE(before, FileIdentity::Of(dir.File("real/x.NNProg")));
    EXPECT_EQ(FileIdentity::Of(dir.File("real/x.NNProg")), FileIdentity::Of(dir.File("lnk/x.NNProg")));
    EXPECT_EQ(file_identity::SaveTarget(dir.File("lnk/x.NNProg")), dir.File("lnk/x.NNProg"));
    platform_test::WriteBytes(dir.File("real/x.NNProg"), "again");
    EXPECT_EQ(file_identity::SaveTarget(dir.File("lnk/x.NNProg")), std::filesystem::canonical(dir.File("real/x.NNProg")).string());
}

}  // namespace
