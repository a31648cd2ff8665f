#include "platform/file_identity.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

namespace file_identity {

std::string SaveTarget(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
    return path;
}

FileIdentity FileIdentity::Of(const std::string& path) {
    const std::string target = SaveTarget(path);
    FileIdentity identity;
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0) {
        identity.kind_ = Kind::kFile;
    } else {
        // The kernel resolves the folder's links and ".." when the save makes the file: so here.
        const std::filesystem::path name(target);
        const std::string folder = name.has_parent_path() ? name.parent_path().string() : ".";
        if (::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
            identity.kind_ = Kind::kNameInFolder;
            identity.name_ = name.filename().string();
        } else {
            std::error_code ec;
            identity.name_ = std::filesystem::absolute(name, ec).lexically_normal().string();
            return identity;
        }
    }
    identity.device_ = status.st_dev;
    identity.inode_ = status.st_ino;
    return identity;
}

}  // namespace file_identity
