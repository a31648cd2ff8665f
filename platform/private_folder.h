// A folder only its user can reach, for files another user must neither read nor put in place
// first (the channel through which a second start hands documents to the running instance).
#pragma once

#include <sys/types.h>

#include <string>

namespace private_folder {

// Why folder is not private to uid: "" when it is a folder itself (no symbolic link) owned by uid
// that neither its group nor others may enter.
std::string Refusal(const std::string& folder, uid_t uid);

// The user's private folder: runtimeFolder (the session's, $XDG_RUNTIME_DIR) when it is
// private, otherwise "<tempFolder>/kestrum-<uid>", made with mode 0700 when missing. A folder
// that is there is taken as it is found or not at all. room: the bytes a name in the folder
// needs ("/" included) within maxPath. "" with why when neither will do.
std::string Find(const std::string& runtimeFolder, const std::string& tempFolder, uid_t uid, std::size_t room,
                 std::size_t maxPath, std::string& why);

}  // namespace private_folder
