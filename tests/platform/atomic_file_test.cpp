// Saving atomically: a save replaces the file whole or leaves the one that was there.
#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <functional>
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

TEST(AtomicFileTest, AFailedSaveNamesItsCauseAndTheFolder) {
    std::signal(SIGXFSZ, SIG_IGN);
    struct Case {
        const char* what;
        const char* target;
        rlim_t sizeLimit;    // RLIM_INFINITY: none
        bool readOnlyFolder;  // the folder refuses new files, the file itself is writable
        crt::SaveResult result;
        crt::SaveFailure::Step step;
        int systemError;
        std::string says;  // "<folder>" stands for the folder's path
    };
    const Case cases[] = {
        {"saved", "f", RLIM_INFINITY, false, crt::kSaved, crt::SaveFailure::Step::kNone, 0, ""},
        {"file-size limit", "f", 1000, false, crt::kSaveCannotWrite, crt::SaveFailure::Step::kWrite, EFBIG,
         "file-size limit"},
        {"read-only folder", "f", RLIM_INFINITY, true, crt::kSaveCannotCreate, crt::SaveFailure::Step::kCreate, EACCES,
         "no new file can be made in the folder <folder> (Permission denied); a save writes a new file there"},
        {"no such folder", "none/f", RLIM_INFINITY, false, crt::kSaveCannotCreate, crt::SaveFailure::Step::kCreate,
         ENOENT, "the folder <folder>/none does not exist"},
    };
    for (const Case& c : cases) {
        platform_test::TempDir dir;
        platform_test::WriteBytes(dir.File("f"), "old");
        ::chmod(dir.File("f").c_str(), 0666);
        if (c.readOnlyFolder) ::chmod(dir.Path().c_str(), 0555);
        crt::SaveFailure failure;
        crt::SaveResult result = crt::kSaveCannotCreate;
        const auto save = [&] {
            result = crt::SaveSystemFileAtomically(dir.File(c.target), "wb", [](crt::CrtFile& file) {
                const std::string content(4096, 'x');
                return file.Write(content.data(), 1, content.size()) == content.size();
            }, &failure);
        };
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit limited = old;
        limited.rlim_cur = c.sizeLimit;
        setrlimit(RLIMIT_FSIZE, &limited);
        if (c.readOnlyFolder) {
            platform_test::AsOrdinaryUser(save);
        } else {
            save();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        ::chmod(dir.Path().c_str(), 0755);
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(failure.step, c.step) << c.what;
        EXPECT_EQ(failure.systemError, c.systemError) << c.what;
        EXPECT_EQ(platform_test::ReadBytes(dir.File("f")), c.result == crt::kSaved ? std::string(4096, 'x') : "old") << c.what;
        if (c.result == crt::kSaved) continue;
        std::string says = c.says;
        if (const std::size_t at = says.find("<folder>"); at != std::string::npos) says.replace(at, 8, dir.Path());
        EXPECT_NE(crt::DescribeSaveFailure(failure).find(says), std::string::npos)
            << c.what << ": " << crt::DescribeSaveFailure(failure);
    }
}

TEST(AtomicFileTest, AFileWithTheLongestNamesIsSavedInPlace) {
    const std::string accent = "\xC3\xA9";  // two bytes: the temporary name must not cut it in half
    std::string accents;
    for (int i = 0; i < 120; ++i) accents += accent;
    for (const std::string& name : {std::string(240, 'n') + ".NNProg", std::string(248, 'n') + ".NNProg",
                                    accents + ".NNProg", std::string(1, 'n') + accents + ".NNProg"}) {
        platform_test::TempDir dir;
        platform_test::WriteBytes(dir.File(name), "old");
        crt::SaveFailure failure;
        const crt::SaveResult result = crt::SaveSystemFileAtomically(
            dir.File(name), "wb", [](crt::CrtFile& file) { return file.Puts("new"); }, &failure);
        EXPECT_EQ(result, crt::kSaved) << name.size() << " bytes: " << crt::DescribeSaveFailure(failure);
        EXPECT_EQ(platform_test::ReadBytes(dir.File(name)), "new") << name.size();
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) ++files;
        EXPECT_EQ(files, 1u) << name.size() << " bytes: no temporary file is left";
    }
}

// A pipe that has a reader: written directly, a desktop save would be reported saved while its
// content went into the pipe; without a reader it would wait for one forever.
TEST(AtomicFileTest, TheDesktopsSaveRefusesWhatIsNoRegularFileWhereAScriptsWritesIt) {
    for (const bool desktop : {true, false}) {
        platform_test::TempDir dir;
        const std::string pipe = dir.File("pipe.NNProg");
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        std::filesystem::create_symlink(pipe, dir.File("link.NNProg"));
        const auto write = [](crt::CrtFile& file) { return file.Puts("text"); };
        crt::SaveFailure failure;
        const crt::SaveResult result = desktop ? crt::SaveSystemFileAtomically(dir.File("link.NNProg"), "wb", write, &failure)
                                               : crt::SaveFileAtomically(dir.File("link.NNProg"), "wb", write);
        char got[16] = {};
        const ssize_t read = ::read(reader, got, sizeof got);
        ::close(reader);
        EXPECT_EQ(result, desktop ? crt::kSaveCannotCreate : crt::kSaved) << desktop;
        EXPECT_EQ(read > 0 ? std::string(got, static_cast<std::size_t>(read)) : "", desktop ? "" : "text") << desktop;
        EXPECT_TRUE(std::filesystem::is_fifo(pipe)) << desktop;
        if (!desktop) continue;
        EXPECT_EQ(failure.step, crt::SaveFailure::Step::kNotRegular);
        EXPECT_NE(crt::DescribeSaveFailure(failure).find("no regular file"), std::string::npos)
            << crt::DescribeSaveFailure(failure);
    }
}

}  // namespace
