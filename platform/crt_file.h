// A C-runtime-style file stream with the original platform's text mode: in "t" modes a line feed
// is written as CR LF and CR LF is read as LF; "b" modes are untranslated. Modes: r w a r+ w+ a+,
// each followed by t or b ("t" when neither is given). Positions (Tell/Seek) are byte offsets in
// the file itself, as the original runtime reports them.
// Paths are code page 1256 text, as every text of the interpreter; see ToSystemPath.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace crt {

class CrtFile {
public:
    // nullptr when the file cannot be opened in that mode.
    static std::unique_ptr<CrtFile> Open(const std::string& path, const std::string& mode);
    // A stream over a descriptor that is open for writing (the stream owns it from now on);
    // nullptr when the mode is not valid or no stream can be made (the descriptor stays the caller's).
    static std::unique_ptr<CrtFile> FromDescriptor(int fd, const std::string& mode);
    ~CrtFile();
    CrtFile(const CrtFile&) = delete;
    CrtFile& operator=(const CrtFile&) = delete;

    // fread/fwrite: counts of whole items transferred.
    std::size_t Read(void* buffer, std::size_t size, std::size_t count);
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count);
    // fputs: false on a write error.
    bool Puts(const std::string& text);
    // fgets: reads up to maxChars - 1 characters, stopping after a line feed; false at end of file
    // with nothing read.
    bool Gets(std::string& line, int maxChars);
    // fseek with SEEK_SET / SEEK_CUR / SEEK_END; 0 on success as fseek returns.
    int Seek(std::int64_t offset, int origin);
    std::int64_t Tell();
    // feof: set once a read has hit the end of the file.
    bool Eof() const;
    // The length of the open file in bytes (after flushing what was written).
    std::int64_t Length();
    // Flushes what was written and asks the system to put it on the disk; false when either fails.
    bool Sync();
    // fclose: false when flushing or closing failed.
    bool Close();
    bool IsText() const { return text_; }
    // Opened with an "a" mode: every write goes to the end of the file.
    bool IsAppend() const { return append_; }
    // Opened with a mode that writes (w, a or +): a failed write there is lost data, not a misuse.
    bool IsWritable() const { return writable_; }

private:
    CrtFile(std::FILE* f, bool text, bool append, bool writable);
    void SwitchTo(int op);
    std::size_t BeginTransfer(std::size_t size, std::size_t count, int op);
    int GetChar();
    std::FILE* f_;
    bool text_;
    bool append_;
    bool writable_;
    bool eof_ = false;
    int lastOp_ = 0;  // 0 none, 1 read, 2 write: a seek is needed between the two, as in C
    std::string translated_;  // a text-mode write's bytes with CR before every LF, kept for the next
};

// _access(path, 0) == 0: a file or a folder of that name exists.
bool FileExists(const std::string& path);

// The file-system name of a script's path: code page 1256 converted to UTF-8, and a backslash taken
// as the folder separator "/" as on the original platform (a script's data\pairs.txt finds the
// file pairs.txt in the folder data).
std::string ToSystemPath(const std::string& cp1256Path);

}  // namespace crt
