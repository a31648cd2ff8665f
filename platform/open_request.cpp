#include "platform/open_request.h"

#include <algorithm>

namespace open_request {
namespace {

constexpr std::size_t kMagicBytes = sizeof(kMagic) - 1;
constexpr std::size_t kNumberBytes = 4;

void AppendNumber(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

std::uint32_t NumberAt(const std::string& bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < kNumberBytes; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

}  // namespace

std::string PathRefusal(const std::string& path) {
    if (path.empty() || path.front() != '/') return "the path is not absolute";
    if (path.size() > kMaxPathBytes) return "the path is longer than " + std::to_string(kMaxPathBytes) + " bytes";
    if (path.find('\0') != std::string::npos) return "the path holds a NUL byte";
    return std::string();
}

bool Encode(const std::vector<std::string>& paths, std::string& request, std::string& why) {
    request.clear();
    if (paths.empty()) {
        why = "there is no document";
        return false;
    }
    request.append(kMagic, kMagicBytes);
    AppendNumber(request, static_cast<std::uint32_t>(paths.size()));
    for (const std::string& path : paths) {
        if (const std::string refusal = PathRefusal(path); !refusal.empty()) {
            why = refusal + ": " + path.substr(0, 200);
            request.clear();
            return false;
        }
        AppendNumber(request, static_cast<std::uint32_t>(path.size()));
        request += path;
        if (request.size() > kMaxRequestBytes) {
            why = "the paths together pass " + std::to_string(kMaxRequestBytes >> 20) + " MB";
            request.clear();
            return false;
        }
    }
    return true;
}

Reader::State Reader::Take(std::string_view bytes) {
    while (!bytes.empty() && state_ == State::kIncomplete) {
        const std::size_t before = bytes.size();
        const std::size_t size = field_ == Field::kMagic ? kMagicBytes : field_ == Field::kPath ? length_ : kNumberBytes;
        const bool whole = Fill(bytes, size);
        total_ += before - bytes.size();
        if (total_ > kMaxRequestBytes) {
            Refuse("the request passes " + std::to_string(kMaxRequestBytes >> 20) + " MB");
        } else if (whole) {
            Finish(field_);
        }
    }
    if (!bytes.empty() && state_ == State::kComplete) Refuse("bytes follow the request");
    return state_;
}

bool Reader::Fill(std::string_view& bytes, std::size_t size) {
    const std::size_t take = std::min(size - part_.size(), bytes.size());
    part_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    return part_.size() == size;
}

void Reader::Finish(Field field) {
    std::string whole;
    whole.swap(part_);
    switch (field) {
        case Field::kMagic:
            if (whole != std::string_view(kMagic, kMagicBytes)) return Refuse("this is no request to open documents");
            field_ = Field::kCount;
            return;
        case Field::kCount:
            remaining_ = NumberAt(whole);
            // Each path takes at least its length and one byte.
            if (remaining_ == 0 || remaining_ > kMaxRequestBytes / (kNumberBytes + 1)) {
                return Refuse("the number of documents is wrong");
            }
            field_ = Field::kLength;
            return;
        case Field::kLength:
            length_ = NumberAt(whole);
            if (length_ == 0 || length_ > kMaxPathBytes) return Refuse("a path has a wrong length");
            field_ = Field::kPath;
            return;
        case Field::kPath:
            if (const std::string refusal = PathRefusal(whole); !refusal.empty()) return Refuse(refusal);
            paths_.push_back(std::move(whole));
            field_ = Field::kLength;
            if (--remaining_ == 0) state_ = State::kComplete;
            return;
    }
}

void Reader::Refuse(const std::string& why) {
    state_ = State::kMalformed;
    error_ = why;
    paths_.clear();
    part_.clear();
}

}  // namespace open_request
