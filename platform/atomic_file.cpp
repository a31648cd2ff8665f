#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/file_identity.h"

namespace crt {
namespace {

using Step = SaveFailure::Step;

std::atomic<unsigned> temporaryCounter{0};

std::string FolderOf(const std::string& target) {
    const std::filesystem::path parent = std::filesystem::path(target).parent_path();
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(parent.empty() ? "." : parent, ec);
    return (ec ? parent : absolute.lexically_normal()).string();
}

// The longest name the folder takes; 255 on the usual file systems.
std::size_t NameLimitOf(const std::string& folder) {
    const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

// "<name>.kestrum-<pid>-<n>.tmp" beside the target, the name cut (never inside a UTF-8
// character) so that the whole still fits the folder's limit on names.
std::string TemporaryName(const std::string& target, unsigned counter) {
    const std::filesystem::path path(target);
    const std::string suffix = ".kestrum-" + std::to_string(::getpid()) + "-" + std::to_string(counter) + ".tmp";
    const std::size_t limit = NameLimitOf(FolderOf(target));
    std::string name = path.filename().string();
    if (name.size() + suffix.size() > limit) {
        std::size_t keep = limit > suffix.size() ? limit - suffix.size() : 0;
        while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
        name.resize(keep);
    }
    return (path.parent_path() / (name + suffix)).string();
}

// A new file beside the target (O_EXCL: never someone else's), with the target's permissions when
// it exists and the usual ones (0666 less the umask) when it does not. -1 when none can be made.
int CreateTemporaryBeside(const std::string& target, std::string& temporary) {
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryName(target, temporaryCounter++);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (exists) (void)::fchmod(fd, existing.st_mode & 07777);
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

class Recorder {
public:
    explicit Recorder(SaveFailure* failure) : failure_(failure) {}
    // Keeps the first failure: the later steps fail because of it.
    void Failed(Step step, int systemError) {
        if (failure_ == nullptr || failure_->step != Step::kNone) return;
        failure_->step = step;
        failure_->systemError = systemError;
    }
    void SetFolder(const std::string& folder) {
        if (failure_ != nullptr) failure_->folder = folder;
    }

private:
    SaveFailure* failure_;
};

SaveResult WriteAndClose(std::unique_ptr<CrtFile> file, const std::function<bool(CrtFile&)>& write, Recorder& recorder) {
    errno = 0;
    bool ok = write(*file);
    if (!ok) recorder.Failed(Step::kWrite, errno);
    if (!file->Sync()) {
        recorder.Failed(Step::kWrite, errno);
        ok = false;
    }
    if (!file->Close()) {
        recorder.Failed(Step::kWrite, errno);
        ok = false;
    }
    return ok ? kSaved : kSaveCannotWrite;
}

// A target that is no regular file is written in place: there is nothing to rename over.
SaveResult WriteDirectly(const std::string& target, const std::string& mode, const std::function<bool(CrtFile&)>& write,
                         Recorder& recorder) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    std::unique_ptr<CrtFile> file = fd >= 0 ? CrtFile::FromDescriptor(fd, mode) : nullptr;
    if (!file) {
        recorder.Failed(Step::kCreate, errno);
        if (fd >= 0) ::close(fd);
        return kSaveCannotCreate;
    }
    return WriteAndClose(std::move(file), write, recorder);
}

// What a save does with a target that exists and is no regular file.
enum class OtherTarget { kWriteDirectly, kRefuse };

SaveResult Save(const std::string& systemPath, const std::string& mode, const std::function<bool(CrtFile&)>& write,
                SaveFailure* failure, OtherTarget other) {
    if (failure != nullptr) *failure = SaveFailure{};
    Recorder recorder(failure);
    // A symbolic link is followed, so that the link stays and its file changes.
    const std::string target = file_identity::SaveTarget(systemPath);
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(target, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        if (other == OtherTarget::kWriteDirectly) return WriteDirectly(target, mode, write, recorder);
        recorder.Failed(Step::kNotRegular, 0);
        return kSaveCannotCreate;
    }
    recorder.SetFolder(FolderOf(target));
    std::string temporary;
    const int fd = CreateTemporaryBeside(target, temporary);
    if (fd < 0) {
        recorder.Failed(Step::kCreate, errno);
        return kSaveCannotCreate;
    }
    std::unique_ptr<CrtFile> file = CrtFile::FromDescriptor(fd, mode);
    if (!file) {
        recorder.Failed(Step::kCreate, errno);
        ::close(fd);
        ::unlink(temporary.c_str());
        return kSaveCannotCreate;
    }
    SaveResult result = WriteAndClose(std::move(file), write, recorder);
    if (result == kSaved && ::rename(temporary.c_str(), target.c_str()) != 0) {
        recorder.Failed(Step::kReplace, errno);
        result = kSaveCannotWrite;
    }
    if (result != kSaved) ::unlink(temporary.c_str());
    return result;
}

}  // namespace

SaveResult SaveFileAtomically(const std::string& path, const std::string& mode,
                              const std::function<bool(CrtFile&)>& write) {
    return Save(ToSystemPath(path), mode, write, nullptr, OtherTarget::kWriteDirectly);
}

SaveResult SaveSystemFileAtomically(const std::string& systemPath, const std::string& mode,
                                    const std::function<bool(CrtFile&)>& write, SaveFailure* failure) {
    return Save(systemPath, mode, write, failure, OtherTarget::kRefuse);
}

std::string DescribeSaveFailure(const SaveFailure& failure) {
    const int e = failure.systemError;
    const std::string why = e != 0 ? std::strerror(e) : "the data could not be written";
    const std::string folder = "the folder " + failure.folder;
    switch (failure.step) {
        case Step::kCreate:
            if (failure.folder.empty()) return "the file cannot be opened for writing (" + why + ")";
            if (e == ENOENT) return folder + " does not exist";
            if (e == EACCES || e == EPERM || e == EROFS) {
                return "no new file can be made in " + folder + " (" + why +
                       "); a save writes a new file there and then puts it in place of the old one";
            }
            return "no new file can be made in " + folder + " (" + why + ")";
        case Step::kWrite:
            if (e == EFBIG) return "the file would be larger than this process's file-size limit allows (ulimit -f)";
            if (e == ENOSPC || e == EDQUOT) {
                return "there is no room left on the disk of " + (failure.folder.empty() ? "the file" : folder) + " (" + why + ")";
            }
            return "writing failed (" + why + ")";
        case Step::kReplace:
            return "the new file in " + folder + " cannot take the old one's place (" + why + ")";
        case Step::kNotRegular:
            return "it is no regular file (a folder, a device or a pipe), and only a regular file takes a save";
        case Step::kNone:
            break;
    }
    return "the save failed";
}

}  // namespace crt
