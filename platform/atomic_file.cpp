#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace crt {
namespace {

std::atomic<unsigned> temporaryCounter{0};

// The file a save replaces: a symbolic link is followed, so that the link stays and its file changes.
std::string ResolvedTarget(const std::string& systemPath) {
    char resolved[PATH_MAX];
    if (::realpath(systemPath.c_str(), resolved) != nullptr) return resolved;
    return systemPath;
}

// A new file beside the target (O_EXCL: never someone else's), with the target's permissions when
// it exists and the usual ones (0666 less the umask) when it does not. -1 when none can be made.
int CreateTemporaryBeside(const std::string& target, std::string& temporary) {
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target + ".kestrum-" + std::to_string(::getpid()) + "-" + std::to_string(temporaryCounter++) + ".tmp";
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (exists) (void)::fchmod(fd, existing.st_mode & 07777);
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

SaveResult WriteAndClose(std::unique_ptr<CrtFile> file, const std::function<bool(CrtFile&)>& write) {
    bool ok = write(*file);
    ok = file->Sync() && ok;
    ok = file->Close() && ok;
    return ok ? kSaved : kSaveCannotWrite;
}

}  // namespace

SaveResult SaveFileAtomically(const std::string& path, const std::string& mode,
                              const std::function<bool(CrtFile&)>& write) {
    const std::string target = ResolvedTarget(ToSystemPath(path));
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(target, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        std::unique_ptr<CrtFile> direct = CrtFile::Open(path, mode);
        return direct ? WriteAndClose(std::move(direct), write) : kSaveCannotCreate;
    }
    std::string temporary;
    const int fd = CreateTemporaryBeside(target, temporary);
    if (fd < 0) return kSaveCannotCreate;
    std::unique_ptr<CrtFile> file = CrtFile::FromDescriptor(fd, mode);
    if (!file) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return kSaveCannotCreate;
    }
    SaveResult result = WriteAndClose(std::move(file), write);
    if (result == kSaved && ::rename(temporary.c_str(), target.c_str()) != 0) result = kSaveCannotWrite;
    if (result != kSaved) ::unlink(temporary.c_str());
    return result;
}

}  // namespace crt
