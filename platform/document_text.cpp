#include "platform/document_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "platform/cp1256.h"
#include "platform/rtf_reader.h"

namespace document {
namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

std::string WithoutByteOrderMark(const std::string& fileBytes) {
    return fileBytes.rfind(kUtf8Bom, 0) == 0 ? fileBytes.substr(3) : fileBytes;
}

std::string PlainTextInCp1256(const std::string& body) {
    // Text that is not UTF-8 (an Arabic letter in code page 1256 is rarely valid UTF-8) is
    // already in the interpreter's code page.
    if (cp1256::IsValidUtf8(body)) return cp1256::FromUtf8(body);
    return body;
}

}  // namespace

std::string NormalizeLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            out.push_back(text[i]);
            continue;
        }
        out.push_back('\n');
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    return out;
}

bool ReadDocumentFile(const std::string& path, std::string& bytes, std::string& error, std::uint64_t maxBytes) {
    // Opened without blocking, so that a pipe without a writer is refused rather than waited for.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    const std::string tooLarge = "larger than " + std::to_string(maxBytes) + " bytes, the most a script document may have";
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok) {
        error = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        error = "not a regular file";
        ok = false;
    } else if (static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        error = tooLarge;
        ok = false;
    }
    bytes.clear();
    char buffer[65536];
    try {
        if (ok) bytes.reserve(static_cast<std::size_t>(info.st_size));
        while (ok) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got == 0) break;
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                error = std::strerror(errno);
                ok = false;
            } else if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) {  // grown while read
                error = tooLarge;
                ok = false;
            } else {
                bytes.append(buffer, static_cast<std::size_t>(got));
            }
        }
    } catch (const std::bad_alloc&) {
        error = "not enough memory to read it";
        ok = false;
    }
    ::close(fd);
    if (!ok) std::string().swap(bytes);
    return ok;
}

std::string LoadScriptDocument(const std::string& fileBytes, std::string& error) {
    error.clear();
    const std::string body = WithoutByteOrderMark(fileBytes);
    if (!rtf::IsRtf(body)) return NormalizeLineEnds(PlainTextInCp1256(body));
    std::string text;
    if (!rtf::ExtractPlainText(body, text, error)) return std::string();
    return NormalizeLineEnds(text);
}

}  // namespace document
