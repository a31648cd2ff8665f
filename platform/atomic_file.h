// Saving a file so that a failure never destroys what was there: the content is written to a
// temporary file beside the target, flushed to the disk and closed, and only then renamed over
// the target. When any step fails, the temporary file is removed and the target is untouched.
// A target that exists and is no regular file (a device, a pipe) cannot be replaced: a script's
// save writes it directly, as a plain save would; the desktop's save refuses it (a pipe without a
// reader would hold the window, and what went into it would not be saved).
#pragma once

#include <functional>
#include <string>

#include "platform/crt_file.h"

namespace crt {

// What became of a save. The values let a caller that only asks "saved?" compare with kSaved.
enum SaveResult : int {
    kSaveCannotCreate = 0,  // the file could not be opened or created: nothing was written
    kSaved = 1,
    kSaveCannotWrite = 2,   // a write, the flush, the close or the rename failed: the target is as it was
};

// What stood in the way of a save, for the message that reports it.
struct SaveFailure {
    enum class Step { kNone, kCreate, kWrite, kReplace, kNotRegular };
    Step step = Step::kNone;
    int systemError = 0;      // errno of the step that failed; 0 when the writer failed without one
    std::string folder;       // where the temporary file was to be made; "" for a direct write
};

// path is code page 1256 text, as for CrtFile::Open; mode is a writing mode of CrtFile ("wb", "wt").
// write puts the content into the file and answers false when a write failed.
SaveResult SaveFileAtomically(const std::string& path, const std::string& mode,
                              const std::function<bool(CrtFile&)>& write);

// The same for a name as the file system spells it (no code page, no backslash rule), as the
// desktop names files, for regular files only; failure, when given, says what went wrong.
SaveResult SaveSystemFileAtomically(const std::string& systemPath, const std::string& mode,
                                    const std::function<bool(CrtFile&)>& write, SaveFailure* failure = nullptr);

// The cause of a failed save in words, naming the folder when the folder is what refused.
std::string DescribeSaveFailure(const SaveFailure& failure);

}  // namespace crt
