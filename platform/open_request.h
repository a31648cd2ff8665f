// The request by which a second start of the desktop hands the documents named on its command
// line to the instance that runs already, and that instance's answers. A request is the four
// bytes "KOPN", the number of paths, then each path as its length and its bytes (numbers are
// 32 bits, most significant byte first). The sender waits for kAccepted or kRefused; after
// kAccepted it sends kCommit, and only then are the documents opened: a sender that gave up
// before the answer leaves nothing behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace open_request {

constexpr char kMagic[] = "KOPN";
constexpr std::size_t kMaxPathBytes = 4095;                // a path as the system takes it
constexpr std::size_t kMaxRequestBytes = std::size_t{4} << 20;
constexpr char kAccepted = 'A';
constexpr char kRefused = 'R';
constexpr char kCommit = 'C';

// Why a path cannot be sent: "" when it can (absolute, no NUL, at most kMaxPathBytes).
std::string PathRefusal(const std::string& path);

// The request for paths; false with why when one of them cannot be sent, there is none, or the
// request would pass kMaxRequestBytes.
bool Encode(const std::vector<std::string>& paths, std::string& request, std::string& why);

// Reads one request as its bytes arrive, in pieces of any size. It never holds more than the
// path it is reading, and refuses a request as soon as a part of it is wrong.
class Reader {
public:
    enum class State { kIncomplete, kComplete, kMalformed };

    // Takes the next bytes; anything after a whole request makes it malformed.
    State Take(std::string_view bytes);
    State Current() const { return state_; }
    const std::vector<std::string>& Paths() const { return paths_; }
    const std::string& Error() const { return error_; }

private:
    enum class Field { kMagic, kCount, kLength, kPath };

    // Moves what the current field still lacks from bytes into field_; true once it is whole.
    bool Fill(std::string_view& bytes, std::size_t size);
    void Finish(Field field);
    void Refuse(const std::string& why);

    State state_ = State::kIncomplete;
    Field field_ = Field::kMagic;
    std::string part_;
    std::uint32_t remaining_ = 0;  // paths still to read
    std::uint32_t length_ = 0;     // of the path being read
    std::size_t total_ = 0;        // bytes taken
    std::vector<std::string> paths_;
    std::string error_;
};

}  // namespace open_request
