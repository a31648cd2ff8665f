// The folder of the user's channel: only a folder that is the user's alone, as it is found; a
// folder another user made first, one open to others, or a link to one is never used.
#include "platform/private_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/instance_lock.h"
#include "platform/temp_dir.h"

namespace {

TEST(PrivateFolderTest, OnlyAFolderOfTheUsersOwnWithNoAccessForOthers) {
    enum Runtime { kNoRuntime, kPrivate, kOpen, kLink, kTooLong };
    enum Own { kNoOwn, kOwnPrivate, kOwnOpen, kOwnLink, kOwnFile };
    const struct {
        const char* what;
        Runtime runtime;
        Own own;
        bool stranger;       // the folders are asked for by a user who does not own what is there
        const char* chosen;  // "runtime", "own" or ""
        const char* says;
    } cases[] = {
        {"the session's folder", kPrivate, kNoOwn, false, "runtime", ""},
        {"no session folder: one of its own is made", kNoRuntime, kNoOwn, false, "own", ""},
        {"a session folder open to others", kOpen, kNoOwn, false, "own", ""},
        {"a session folder that is a link", kLink, kNoOwn, false, "own", ""},
        {"a session folder too long for a socket", kTooLong, kNoOwn, false, "own", ""},
        {"its own folder found private", kNoRuntime, kOwnPrivate, false, "own", ""},
        {"both names taken by another user", kPrivate, kOwnPrivate, true, "", "belongs to another user"},
        {"its own name open to others", kOpen, kOwnOpen, false, "", "open to other users"},
        {"its own name a link to a private folder", kNoRuntime, kOwnLink, false, "", "not a folder"},
        {"its own name a file", kNoRuntime, kOwnFile, false, "", "not a folder"},
    };
    for (const auto& c : cases) {
        platform_test::TempDir dir;
        const uid_t asking = c.stranger ? ::getuid() + 4242 : ::getuid();
        const std::string runtime = dir.File(c.runtime == kTooLong ? std::string(90, 'r') : "run");
        const std::string temp = dir.File("tmp");
        const std::string own = temp + "/kestrum-" + std::to_string(asking);
        std::filesystem::create_directories(temp);
        ::mkdir(dir.File("elsewhere").c_str(), 0700);
        if (c.runtime == kLink) {
            std::filesystem::create_directory_symlink(dir.File("elsewhere"), runtime);
        } else if (c.runtime != kNoRuntime) {
            ::mkdir(runtime.c_str(), 0700);
            ::chmod(runtime.c_str(), c.runtime == kOpen ? 0755 : 0700);
        }
        if (c.own == kOwnLink) {
            std::filesystem::create_directory_symlink(dir.File("elsewhere"), own);
        } else if (c.own == kOwnFile) {
            platform_test::WriteBytes(own, "");
        } else if (c.own != kNoOwn) {
            ::mkdir(own.c_str(), 0700);
            ::chmod(own.c_str(), c.own == kOwnOpen ? 0777 : 0700);
        }
        std::string why;
        const std::string found = private_folder::Find(c.runtime == kNoRuntime ? "" : runtime, temp, asking, 18, 107, why);
        const std::string chosen = c.chosen;
        EXPECT_EQ(found, chosen == "runtime" ? runtime : chosen == "own" ? own : "") << c.what << ": " << why;
        EXPECT_NE(why.find(c.says), std::string::npos) << c.what << ": " << why;
        if (found.empty()) continue;
        struct stat status {};
        ASSERT_EQ(::lstat(found.c_str(), &status), 0);
        EXPECT_TRUE(S_ISDIR(status.st_mode)) << c.what;
        EXPECT_EQ(status.st_mode & 0777, 0700u) << c.what;
    }
}

TEST(PrivateFolderTest, OneProcessHoldsTheLockUntilItLetsGo) {
    platform_test::TempDir dir;
    const std::string path = dir.File("channel.lock");
    InstanceLock first;
    InstanceLock second;
    EXPECT_TRUE(first.TryLock(path));
    EXPECT_FALSE(second.TryLock(path));
    InstanceLock moved = std::move(first);
    EXPECT_FALSE(first.Held());
    EXPECT_FALSE(second.TryLock(path)) << "a moved lock is still held";
    moved.Release();
    EXPECT_TRUE(second.TryLock(path));
    std::filesystem::create_symlink(dir.File("elsewhere.lock"), dir.File("link.lock"));
    InstanceLock third;
    EXPECT_FALSE(third.TryLock(dir.File("link.lock"))) << "a link is not followed";
    EXPECT_FALSE(std::filesystem::exists(dir.File("elsewhere.lock")));
}

}  // namespace
