#include "host/script_file.h"

#include <new>

#include "host/exit_status.h"
#include "platform/document_text.h"

int LoadScriptFile(const std::string& path, std::string& scriptText, std::FILE* errors) {
    std::string error;
    try {
        std::string bytes;
        if (!document::ReadDocumentFile(path, bytes, error, kMaxScriptFileBytes)) {
            std::fprintf(errors, "kestrum-run: cannot read %s: %s\n", path.c_str(), error.c_str());
            return kExitUsage;
        }
        scriptText = document::LoadScriptDocument(bytes, error);
    } catch (const std::bad_alloc&) {
        std::fprintf(errors, "kestrum-run: %s: not enough memory to load the script\n", path.c_str());
        return kExitUsage;
    }
    if (!error.empty()) {
        std::fprintf(errors, "kestrum-run: %s: %s\n", path.c_str(), error.c_str());
        return kExitUsage;
    }
    return kExitOk;
}
