// What the console host streams: every pane byte, NULs included, and whether the stream took it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "host/console_view.h"

namespace {

std::string StreamedBytes(std::FILE* f) {
    std::rewind(f);
    std::string bytes;
    for (int c = std::fgetc(f); c != EOF; c = std::fgetc(f)) bytes.push_back(static_cast<char>(c));
    return bytes;
}

TEST(ConsoleStreamTest, AStringHoldingANulIsStreamedWhole) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    ConsoleView view;
    view.StreamTo(f);
    view.OutputText(std::string("a\0b", 3), 1, 0, 1, 0);
    view.OutputText("c", 1, 0, 0, 0);
    view.FlushStream();
    EXPECT_EQ(StreamedBytes(f), std::string("a\0b\nc\n", 6));
    EXPECT_FALSE(view.StreamFailed());
    std::fclose(f);
}

TEST(ConsoleStreamTest, AStreamThatCannotTakeThePaneIsAFailure) {
    std::FILE* full = std::fopen("/dev/full", "w");
    if (full == nullptr) GTEST_SKIP() << "no /dev/full here";
    ConsoleView view;
    view.StreamTo(full);
    view.OutputText("lost", 1, 0, 1, 0);
    EXPECT_TRUE(view.StreamFailed());
    std::fclose(full);
}

}  // namespace
