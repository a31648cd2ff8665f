// Which files are script documents, and documents that begin with a byte order mark.
#include <gtest/gtest.h>

#include <string>

#include "platform/document_text.h"
#include "platform/temp_dir.h"

namespace {

TEST(DocumentFileTest, OnlyARegularFileIsReadAsADocument) {
    platform_test::TempDir dir;
    platform_test::WriteBytes(dir.File("a.lsc"), "Print 1");
    struct Case {
        std::string path;
        bool read;
    };
    for (const Case& c : {Case{dir.File("a.lsc"), true}, Case{dir.Path(), false}, Case{"/dev/zero", false},
                          Case{dir.File("missing"), false}}) {
        std::string bytes;
        std::string error;
        EXPECT_EQ(document::ReadDocumentFile(c.path, bytes, error), c.read) << c.path;
        EXPECT_EQ(error.empty(), c.read) << c.path;
        if (c.read) {
            EXPECT_EQ(bytes, "Print 1");
        }
    }
}

TEST(DocumentFileTest, AnRtfDocumentAfterAByteOrderMarkIsReadAsRtf) {
    std::string error;
    EXPECT_EQ(document::LoadScriptDocument("\xEF\xBB\xBF{\\rtf1\\ansi Print 1\\par}", error), "Print 1\n");
    EXPECT_EQ(error, "");
}

}  // namespace
