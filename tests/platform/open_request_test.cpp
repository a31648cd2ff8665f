// The request that hands documents to the running instance: what is sent is read back whole,
// in pieces of any size, and anything else is refused as soon as it goes wrong.
#include "platform/open_request.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using open_request::Reader;

std::string Number(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

TEST(OpenRequestTest, PathsComeBackWholeInPiecesOfAnySize) {
    const std::vector<std::string> paths = {"/a/x\ny.NNProg", "/b/\xC3\xA9t\xC3\xA9 \t.NNProg", "/" + std::string(4094, 'p'),
                                            "/c"};
    std::string request;
    std::string why;
    ASSERT_TRUE(open_request::Encode(paths, request, why)) << why;
    for (const std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{7}, std::size_t{4096}, request.size()}) {
        Reader reader;
        for (std::size_t at = 0; at < request.size(); at += piece) {
            const Reader::State state = reader.Take(std::string_view(request).substr(at, piece));
            EXPECT_EQ(state, at + piece >= request.size() ? Reader::State::kComplete : Reader::State::kIncomplete) << piece;
        }
        EXPECT_EQ(reader.Paths(), paths) << piece;
        EXPECT_EQ(reader.Take("C"), Reader::State::kMalformed) << "nothing may follow a request";
        EXPECT_TRUE(reader.Paths().empty());
    }
}

TEST(OpenRequestTest, PathsThatCannotBeSentAreRefusedBeforeSending) {
    const struct {
        std::vector<std::string> paths;
        const char* says;
    } cases[] = {
        {{}, "no document"},
        {{"relative.NNProg"}, "not absolute"},
        {{"/a", ""}, "not absolute"},
        {{std::string("/a\0b", 4)}, "NUL"},
        {{"/" + std::string(4095, 'p')}, "longer than 4095"},
        {std::vector<std::string>(1100, "/" + std::string(4000, 'p')), "pass 4 MB"},
    };
    for (const auto& c : cases) {
        std::string request = "old";
        std::string why;
        EXPECT_FALSE(open_request::Encode(c.paths, request, why)) << c.says;
        EXPECT_NE(why.find(c.says), std::string::npos) << why;
        EXPECT_TRUE(request.empty());
    }
}

TEST(OpenRequestTest, AWrongRequestIsRefusedAsSoonAsItGoesWrong) {
    const struct {
        const char* what;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"random bytes", "\x13\x99garbage that is no request", "no request"},
        {"a line of text", "/home/x.NNProg\n", "no request"},
        {"no documents", "KOPN" + Number(0), "number of documents"},
        {"more documents than fit", "KOPN" + Number(0x7FFFFFFF), "number of documents"},
        {"an empty path", "KOPN" + Number(1) + Number(0), "wrong length"},
        {"a 2 MB path, told before it comes", "KOPN" + Number(1) + Number(2 << 20), "wrong length"},
        {"a relative path", "KOPN" + Number(1) + Number(3) + "a/b", "not absolute"},
        {"a NUL in a path", "KOPN" + Number(1) + Number(3) + std::string("/a\0", 3), "NUL"},
        {"bytes after the request", "KOPN" + Number(1) + Number(2) + "/aC", "follow"},
    };
    for (const auto& c : cases) {
        Reader reader;
        EXPECT_EQ(reader.Take(c.bytes), Reader::State::kMalformed) << c.what;
        EXPECT_NE(reader.Error().find(c.says), std::string::npos) << c.what << ": " << reader.Error();
        EXPECT_TRUE(reader.Paths().empty()) << c.what;
        EXPECT_EQ(reader.Take("KOPN"), Reader::State::kMalformed) << c.what << ": a refusal is final";
    }
}

TEST(OpenRequestTest, ARequestPastTheLimitIsRefusedWhileItArrives) {
    Reader reader;
    std::string bytes = "KOPN" + Number(2000);
    const std::string path = "/" + std::string(4094, 'p');
    for (int i = 0; i < 2000; ++i) bytes += Number(static_cast<std::uint32_t>(path.size())) + path;
    std::size_t fed = 0;
    while (fed < bytes.size() && reader.Take(std::string_view(bytes).substr(fed, 65536)) == Reader::State::kIncomplete) {
        fed += 65536;
    }
    EXPECT_EQ(reader.Current(), Reader::State::kMalformed);
    EXPECT_LE(fed, open_request::kMaxRequestBytes);
    EXPECT_NE(reader.Error().find("4 MB"), std::string::npos) << reader.Error();
}

}  // namespace
