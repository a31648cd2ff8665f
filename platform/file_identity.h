// Which file a name stands for, as a save through that name would write it: a file with several
// names (a symbolic link to it, a linked folder, "..", a hard link) is one file.
#pragma once

#include <sys/types.h>

#include <string>

namespace file_identity {

// Where a save of path writes: the file a symbolic link leads to when that file exists,
// otherwise path itself (a save then makes a new file there).
std::string SaveTarget(const std::string& path);

class FileIdentity {
public:
    // What path names now: an existing file by its device and inode; a missing one by its
    // folder's device and inode and its name; without a folder, by its absolute name.
    static FileIdentity Of(const std::string& path);

    bool operator==(const FileIdentity& other) const = default;

private:
    enum class Kind { kFile, kNameInFolder, kName };
    Kind kind_ = Kind::kName;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    std::string name_;
};

}  // namespace file_identity
