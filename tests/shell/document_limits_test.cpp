// A document larger than the editor lays out within a few seconds is refused before it is
// loaded, with a message that says why; one within the limits opens.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <string>

#include "file_bytes.h"
#include "platform/rich_document.h"
#include "shell/document_limits.h"
#include "shell/kestrum_doc.h"

namespace {

// lines paragraphs of lineLength copies of character (UTF-8).
rich::Document Lines(qint64 lines, qint64 lineLength, const std::string& character = "x") {
    rich::Document doc;
    std::string text;
    for (qint64 i = 0; i < lineLength; ++i) text += character;
    doc.paragraphs.assign(static_cast<std::size_t>(lines), rich::Paragraph{rich::Alignment::kLeft, {{text, {}}}});
    return doc;
}

TEST(DocumentLimitsTest, EachLimitTakesItsValueAndRefusesOneMore) {
    using namespace doc_limits;
    const qint64 longest = kMaxLineCharacters;
    struct Case {
        const char* what;
        rich::Document doc;
        QString says;  // "" for a document the editor takes
    };
    const Case cases[] = {
        {"lines at the limit", Lines(kMaxLines, 1), ""},
        {"one line more", Lines(kMaxLines + 1, 0), QString("it has %1 lines").arg(kMaxLines + 1)},
        {"a line at the limit", Lines(2, longest), ""},
        {"a line one character longer", Lines(2, longest + 1), QString("line 1 has %1 characters").arg(longest + 1)},
        {"two-byte characters count once", Lines(1, longest, "\xD8\xA7"), ""},
        {"characters at the limit", Lines(kMaxCharacters / longest, longest), ""},
        {"characters beyond it", Lines(kMaxCharacters / longest + 1, longest), "characters; the editor takes at most"},
    };
    for (const Case& c : cases) {
        const QString reason = TooLargeToEdit(c.doc);
        if (c.says.isEmpty()) {
            EXPECT_TRUE(reason.isEmpty()) << c.what << ": " << reason.toStdString();
        } else {
            EXPECT_TRUE(reason.contains(c.says)) << c.what << ": " << reason.toStdString();
        }
    }
}

TEST(DocumentLimitsTest, ATooLargeDocumentIsRefusedBeforeItIsLoaded) {
    QTemporaryDir dir;
    QByteArray manyLines = "{\\rtf1 ";
    for (qint64 i = 0; i < doc_limits::kMaxLines; ++i) manyLines += "\\par ";
    Write(dir.filePath("lines.NNProg"), manyLines + "}");
    QFile huge(dir.filePath("huge.NNProg"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(doc_limits::kMaxFileBytes + 1));  // sparse: nothing is written
    huge.close();
    struct Case {
        QString file;
        QString says;
    };
    const Case cases[] = {
        {"lines.NNProg", QString("it has %1 lines; the editor takes at most %2").arg(doc_limits::kMaxLines + 1).arg(doc_limits::kMaxLines)},
        {"huge.NNProg", "the file is larger than 32 MB"},
    };
    for (const Case& c : cases) {
        CKestrumDoc doc;
        doc.OnNewDocument();
        doc.TextDocument()->setPlainText("kept");
        QString error;
        EXPECT_FALSE(doc.OnOpenDocument(dir.filePath(c.file), error)) << c.file.toStdString();
        EXPECT_TRUE(error.startsWith("Cannot open " + dir.filePath(c.file) + ": ")) << error.toStdString();
        EXPECT_TRUE(error.contains(c.says)) << error.toStdString();
        EXPECT_EQ(doc.TextDocument()->toPlainText(), "kept");
        EXPECT_TRUE(doc.PathName().isEmpty());
    }
}

}  // namespace
