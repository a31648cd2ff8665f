#include "platform/private_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace private_folder {

std::string Refusal(const std::string& folder, uid_t uid) {
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0) return folder + ": " + std::strerror(errno);
    if (!S_ISDIR(status.st_mode)) return folder + " is not a folder";
    if (status.st_uid != uid) return folder + " belongs to another user";
    if ((status.st_mode & 077) != 0) return folder + " is open to other users";
    return std::string();
}

std::string Find(const std::string& runtimeFolder, const std::string& tempFolder, uid_t uid, std::size_t room,
                 std::size_t maxPath, std::string& why) {
    why.clear();
    const auto fits = [&](const std::string& folder) {
        if (folder.size() + room <= maxPath) return true;
        why += folder + " is too long a name; ";
        return false;
    };
    if (!runtimeFolder.empty() && fits(runtimeFolder)) {
        const std::string refusal = Refusal(runtimeFolder, uid);
        if (refusal.empty()) return runtimeFolder;
        why += refusal + "; ";
    }
    const std::string own = (tempFolder.empty() ? std::string("/tmp") : tempFolder) + "/kestrum-" + std::to_string(uid);
    if (!fits(own)) return std::string();
    if (::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) {
        why += own + ": " + std::strerror(errno);
        return std::string();
    }
    const std::string refusal = Refusal(own, uid);
    if (refusal.empty()) {
        why.clear();
        return own;
    }
    why += refusal;
    return std::string();
}

}  // namespace private_folder
