// Text-mode translation is done here, byte by byte, over a stream that the C library opens in
// binary mode, so that files read and written on Linux match the original platform's bytes:
//  - writing: every LF becomes CR LF (a CR already in front of it is kept, so "\r\n" is written
//    as CR CR LF, as the original runtime does);
//  - reading: CR LF becomes LF, a lone CR stays, and the byte 0x1A (Ctrl-Z) ends the text: the
//    read stops in front of it and the end-of-file indicator is set, as the original runtime's
//    text mode does. A seek clears the indicator; reading on stops at the Ctrl-Z again.
// Positions are always byte offsets in the file.
#include "platform/crt_file.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <limits>
#include <system_error>

#include "platform/cp1256.h"

namespace crt {
namespace {

constexpr int kCtrlZ = 0x1A;
constexpr int kOpNone = 0;
constexpr int kOpRead = 1;
constexpr int kOpWrite = 2;

struct ParsedMode {
    std::string stdioMode;  // always binary for the C library
    bool text = true;
    bool append = false;
    bool writable = false;
    bool valid = false;
};

// First letter r, w or a; then any order of '+' and one of 't' / 'b'.
ParsedMode ParseMode(const std::string& mode) {
    ParsedMode parsed;
    if (mode.empty() || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) return parsed;
    bool plus = false;
    bool sawKind = false;
    for (std::size_t i = 1; i < mode.size(); ++i) {
        const char c = mode[i];
        if (c == '+' && !plus) {
            plus = true;
        } else if ((c == 't' || c == 'b') && !sawKind) {
            sawKind = true;
            parsed.text = (c == 't');
        } else {
            return parsed;
        }
    }
    parsed.stdioMode = std::string(1, mode[0]) + (plus ? "+b" : "b");
    parsed.append = (mode[0] == 'a');
    parsed.writable = mode[0] != 'r' || plus;
    parsed.valid = true;
    return parsed;
}

// A name the file system can be asked about: not empty and without a NUL, which would cut it short.
bool IsUsablePath(const std::string& path) {
    return !path.empty() && path.find('\0') == std::string::npos;
}

bool IsDirectory(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
}

// How many source bytes a short text-mode write stored in full, given the translated bytes it
// stored (each LF took two).
std::size_t SourceBytesStored(const unsigned char* data, std::size_t size, std::size_t stored) {
    std::size_t written = 0;
    std::size_t i = 0;
    for (; i < size; ++i) {
        const std::size_t need = (data[i] == '\n') ? 2 : 1;
        if (written + need > stored) break;
        written += need;
    }
    return i;
}

}  // namespace

std::unique_ptr<CrtFile> CrtFile::Open(const std::string& path, const std::string& mode) {
    const ParsedMode parsed = ParseMode(mode);
    if (!parsed.valid || !IsUsablePath(path)) return nullptr;
    const std::string systemPath = ToSystemPath(path);
    // The original platform cannot open a folder as a file; neither can we.
    if (IsDirectory(systemPath)) return nullptr;
    std::FILE* f = std::fopen(systemPath.c_str(), parsed.stdioMode.c_str());
    if (f == nullptr) return nullptr;
    return std::unique_ptr<CrtFile>(new CrtFile(f, parsed.text, parsed.append, parsed.writable));
}

std::unique_ptr<CrtFile> CrtFile::FromDescriptor(int fd, const std::string& mode) {
    const ParsedMode parsed = ParseMode(mode);
    if (!parsed.valid) return nullptr;
    std::FILE* f = ::fdopen(fd, parsed.stdioMode.c_str());
    if (f == nullptr) return nullptr;
    return std::unique_ptr<CrtFile>(new CrtFile(f, parsed.text, parsed.append, parsed.writable));
}

CrtFile::CrtFile(std::FILE* f, bool text, bool append, bool writable)
    : f_(f), text_(text), append_(append), writable_(writable) {}

CrtFile::~CrtFile() {
    if (f_ != nullptr) std::fclose(f_);
}

// C requires a positioning call between reading and writing on an update stream.
void CrtFile::SwitchTo(int op) {
    if (lastOp_ != kOpNone && lastOp_ != op) {
        const long pos = std::ftell(f_);
        if (pos >= 0) std::fseek(f_, pos, SEEK_SET);
    }
    lastOp_ = op;
}

// The next byte of the file as the reader sees it: translated in text mode. EOF at the end of
// the file or, in text mode, at a Ctrl-Z (which stays unread); either sets the indicator.
// A file is used by one thread at a time (the run's): its reads take no lock.
int CrtFile::GetChar() {
    const int c = getc_unlocked(f_);
    if (c == EOF) {
        eof_ = true;
        std::clearerr(f_);
        return EOF;
    }
    if (!text_) return c;
    if (c == kCtrlZ) {
        std::ungetc(c, f_);
        eof_ = true;
        return EOF;
    }
    if (c != '\r') return c;
    const int next = getc_unlocked(f_);
    if (next == '\n') return '\n';
    if (next == EOF) {
        // Looking ahead past the last byte is not yet a read at the end.
        std::clearerr(f_);
    } else {
        std::ungetc(next, f_);
    }
    return '\r';
}

// The bytes of size * count items for a read or write about to start; 0 when there is nothing to
// transfer (closed file, no items, or a size * count that overflows, which sets EINVAL).
std::size_t CrtFile::BeginTransfer(std::size_t size, std::size_t count, int op) {
    if (f_ == nullptr || size == 0 || count == 0) return 0;
    if (count > std::numeric_limits<std::size_t>::max() / size) {
        errno = EINVAL;
        return 0;
    }
    SwitchTo(op);
    return size * count;
}

std::size_t CrtFile::Read(void* buffer, std::size_t size, std::size_t count) {
    const std::size_t total = BeginTransfer(size, count, kOpRead);
    if (total == 0) return 0;
    if (!text_) {
        const std::size_t got = std::fread(buffer, 1, total, f_);
        if (got < total) {
            if (std::feof(f_)) eof_ = true;
            std::clearerr(f_);
        }
        return got / size;
    }
    unsigned char* out = static_cast<unsigned char*>(buffer);
    std::size_t got = 0;
    while (got < total) {
        const int c = GetChar();
        if (c == EOF) break;
        out[got++] = static_cast<unsigned char>(c);
    }
    return got / size;
}

std::size_t CrtFile::Write(const void* buffer, std::size_t size, std::size_t count) {
    const std::size_t total = BeginTransfer(size, count, kOpWrite);
    if (total == 0) return 0;
    const unsigned char* data = static_cast<const unsigned char*>(buffer);
    if (!text_) return std::fwrite(data, 1, total, f_) / size;
    std::string& translated = translated_;
    translated.clear();
    for (std::size_t i = 0; i < total; ++i) {
        if (data[i] == '\n') translated.push_back('\r');
        translated.push_back(static_cast<char>(data[i]));
    }
    const std::size_t bytes = translated.size();
    const std::size_t stored = std::fwrite(translated.data(), 1, bytes, f_);
    // A large write's room is not kept for the small ones that usually follow.
    constexpr std::size_t kKeptRoom = 1 << 16;
    if (translated.capacity() > kKeptRoom) std::string().swap(translated);
    if (stored == bytes) return count;
    return SourceBytesStored(data, total, stored) / size;
}

bool CrtFile::Puts(const std::string& text) {
    // fputs writes up to the first NUL.
    const std::size_t length = text.find('\0');
    const std::size_t n = (length == std::string::npos) ? text.size() : length;
    if (f_ == nullptr) return false;
    if (n == 0) return true;
    return Write(text.data(), 1, n) == n;
}

bool CrtFile::Gets(std::string& line, int maxChars) {
    line.clear();
    if (f_ == nullptr || maxChars <= 0) return false;
    SwitchTo(kOpRead);
    while (static_cast<int>(line.size()) < maxChars - 1) {
        const int c = GetChar();
        if (c == EOF) return !line.empty();
        line.push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    return true;
}

int CrtFile::Seek(std::int64_t offset, int origin) {
    if (f_ == nullptr) return -1;
    if (origin != SEEK_SET && origin != SEEK_CUR && origin != SEEK_END) {
        errno = EINVAL;
        return -1;
    }
    if (offset < std::numeric_limits<long>::min() || offset > std::numeric_limits<long>::max()) {
        errno = EINVAL;
        return -1;
    }
    if (std::fseek(f_, static_cast<long>(offset), origin) != 0) return -1;
    eof_ = false;
    lastOp_ = kOpNone;
    return 0;
}

std::int64_t CrtFile::Tell() {
    if (f_ == nullptr) return -1;
    return std::ftell(f_);
}

bool CrtFile::Eof() const { return eof_; }

std::int64_t CrtFile::Length() {
    if (f_ == nullptr) return -1;
    if (std::fflush(f_) != 0) return -1;
    const long here = std::ftell(f_);
    if (here < 0 || std::fseek(f_, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(f_);
    // Going back keeps the caller's position; a pending read/write switch is no longer needed.
    std::fseek(f_, here, SEEK_SET);
    lastOp_ = kOpNone;
    return end;
}

bool CrtFile::Sync() {
    if (f_ == nullptr || std::fflush(f_) != 0) return false;
    // A device or a pipe cannot be synced; that is no failure of what was written to it.
    return ::fsync(::fileno(f_)) == 0 || errno == EINVAL || errno == EROFS;
}

bool CrtFile::Close() {
    if (f_ == nullptr) return false;
    const int result = std::fclose(f_);
    f_ = nullptr;
    return result == 0;
}

bool FileExists(const std::string& path) {
    if (!IsUsablePath(path)) return false;
    std::error_code ec;
    return std::filesystem::exists(ToSystemPath(path), ec);
}

std::string ToSystemPath(const std::string& cp1256Path) {
    std::string path = cp1256::ToUtf8(cp1256Path);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace crt
