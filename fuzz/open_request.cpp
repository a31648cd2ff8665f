// Arbitrary bytes as a request that reaches the running desktop from a second start: read in
// pieces of any size, the reader must end without a crash or a sanitizer report, come to the
// same verdict however the bytes are cut, accept exactly the requests the sender writes, and
// give back the paths those were made of.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/open_request.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

open_request::Reader ReadInPieces(std::string_view bytes, std::size_t piece) {
    open_request::Reader reader;
    for (std::size_t at = 0; at < bytes.size(); at += piece) reader.Take(bytes.substr(at, piece));
    return reader;
}

// The bytes cut at every NUL into paths, each made absolute: what a sender could send.
void RoundTrip(std::string_view bytes) {
    std::vector<std::string> paths(1, "/");
    for (const char c : bytes) {
        if (c == '\0') {
            paths.emplace_back("/");
        } else {
            paths.back().push_back(c);
        }
    }
    std::string request;
    std::string why;
    if (!open_request::Encode(paths, request, why)) {
        Require(!why.empty() && request.empty());
        return;
    }
    open_request::Reader reader;
    Require(reader.Take(request) == open_request::Reader::State::kComplete);
    Require(reader.Paths() == paths);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = 1 + data[0] % 64;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const open_request::Reader whole = ReadInPieces(bytes, bytes.size() + 1);
    const open_request::Reader cut = ReadInPieces(bytes, piece);
    Require(whole.Current() == cut.Current());
    Require(whole.Paths() == cut.Paths());
    switch (whole.Current()) {
        case open_request::Reader::State::kComplete: {
            std::string request;
            std::string why;
            Require(open_request::Encode(whole.Paths(), request, why));
            Require(request == bytes);
            break;
        }
        case open_request::Reader::State::kMalformed:
            Require(!whole.Error().empty() && whole.Paths().empty());
            break;
        case open_request::Reader::State::kIncomplete:
            Require(whole.Error().empty());
            break;
    }
    RoundTrip(bytes);
    return 0;
}
