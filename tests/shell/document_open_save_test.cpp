// Opening and saving script documents: formats survive the editor's document, a failed save
// keeps the old file and the modified flag, a bad file opens nothing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <csignal>
#include <sys/resource.h>

#include "platform/rich_document.h"
#include "file_bytes.h"
#include "shell/kestrum_doc.h"
#include "shell/text_document_convert.h"

namespace {

// A file size limit makes every write past it fail as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

private:
    rlimit old_{};
};

TEST(DocumentOpenSaveTest, FormatsSurviveOpenEditAndSave) {
    QTemporaryDir dir;
    const QString source = dir.filePath("formats.NNProg");
    Write(source,
          "{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0 Courier New;}{\\f1 Arial;}}{\\colortbl ;\\red0\\green0\\blue255;}"
          "\\f0\\fs20 Println {\\b\\cf1 \"bold blue\"}\\par{\\f1\\fs32\\i\\ul\\strike big}}");
    CKestrumDoc doc;
    QString error;
    ASSERT_TRUE(doc.OnOpenDocument(source, error)) << error.toStdString();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.Title(), "formats.NNProg");
    EXPECT_EQ(doc.TextDocument()->toPlainText(), "Println \"bold blue\"\nbig");

    QTextCursor cursor(doc.TextDocument());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText("!");
    EXPECT_TRUE(doc.IsModified());
    const QString target = dir.filePath("saved.NNProg");
    ASSERT_TRUE(doc.OnSaveDocument(target, error)) << error.toStdString();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.PathName(), target);

    CKestrumDoc again;
    ASSERT_TRUE(again.OnOpenDocument(target, error));
    const rich::Document first = rich::Normalized(ToRichDocument(*doc.TextDocument()));
    const rich::Document second = rich::Normalized(ToRichDocument(*again.TextDocument()));
    ASSERT_EQ(second.paragraphs.size(), 2u);
    EXPECT_EQ(second.paragraphs, first.paragraphs);
    const rich::Run& blue = second.paragraphs[0].runs.at(1);
    EXPECT_TRUE(blue.format.bold);
    EXPECT_EQ(blue.format.colour, 0x0000FFu);
    const rich::Run& big = second.paragraphs[1].runs.at(0);
    EXPECT_EQ(big.format.font, "Arial");
    EXPECT_EQ(big.format.halfPoints, 32);
    EXPECT_TRUE(big.format.italic && big.format.underline && big.format.strikeOut);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);  // no temporary file left behind
}

TEST(DocumentOpenSaveTest, FailedSaveKeepsTheOldFileAndTheModifiedFlag) {
    QTemporaryDir dir;
    const QString target = dir.filePath("keep.NNProg");
    Write(target, "old contents");
    CKestrumDoc doc;
    doc.OnNewDocument();
    doc.TextDocument()->setPlainText(QString(4000, 'x'));
    QString error;
    {
        const FileSizeLimit limit(1024);
        EXPECT_FALSE(doc.OnSaveDocument(target, error));
    }
    EXPECT_TRUE(error.startsWith("Cannot save " + target)) << error.toStdString();
    EXPECT_EQ(ReadAll(target), "old contents");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(doc.PathName().isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.NNProg"});
    EXPECT_FALSE(doc.OnSaveDocument(dir.filePath("no/such/folder/x.NNProg"), error));
}

TEST(DocumentOpenSaveTest, SaveFailuresNameTheCauseAndTheFolder) {
    QTemporaryDir dir;
    CKestrumDoc doc;
    doc.OnNewDocument();
    doc.TextDocument()->setPlainText(QString(4000, 'x'));
    QString error;
    {
        const FileSizeLimit limit(1024);
        EXPECT_FALSE(doc.OnSaveDocument(dir.filePath("big.NNProg"), error));
    }
    EXPECT_TRUE(error.contains("file-size limit")) << error.toStdString();
    EXPECT_FALSE(doc.OnSaveDocument(dir.filePath("gone/x.NNProg"), error));
    EXPECT_TRUE(error.contains("the folder " + dir.filePath("gone") + " does not exist")) << error.toStdString();
}

TEST(DocumentOpenSaveTest, BadFilesOpenNothing) {
    QTemporaryDir dir;
    Write(dir.filePath("deep.NNProg"), "{\\rtf1" + QByteArray(20000, '{'));
    struct Case {
        const char* what;
        QString path;
        const char* says;
    };
    const Case cases[] = {
        {"missing", dir.filePath("missing.NNProg"), "there is no such file"},
        {"folder", dir.path(), "it is a folder"},
        {"device", "/dev/zero", "it is not a regular file"},
        {"malformed", dir.filePath("deep.NNProg"), "nested more than"},
    };
    for (const Case& c : cases) {
        CKestrumDoc doc;
        doc.OnNewDocument();
        doc.TextDocument()->setPlainText("kept");
        doc.TextDocument()->setModified(false);
        QString error;
        EXPECT_FALSE(doc.OnOpenDocument(c.path, error)) << c.what;
        EXPECT_TRUE(error.contains(c.says)) << c.what << ": " << error.toStdString();
        EXPECT_EQ(doc.TextDocument()->toPlainText(), "kept") << c.what;
        EXPECT_TRUE(doc.PathName().isEmpty()) << c.what;
    }
}

TEST(DocumentOpenSaveTest, PlainTextOpensInTheEditorsFontAndSavesAsRtf) {
    QTemporaryDir dir;
    const QString path = dir.filePath("plain.txt");
    Write(path, "Println 1\r\nPrintln 2\n");
    CKestrumDoc doc;
    QString error;
    ASSERT_TRUE(doc.OnOpenDocument(path, error));
    EXPECT_EQ(doc.TextDocument()->toPlainText(), "Println 1\nPrintln 2\n");
    QTextCursor cursor(doc.TextDocument());
    cursor.movePosition(QTextCursor::NextCharacter);
    EXPECT_EQ(cursor.charFormat().fontFamilies().toStringList().value(0), "Courier New");
    ASSERT_TRUE(doc.OnSaveDocument(path, error));
    EXPECT_TRUE(ReadAll(path).startsWith("{\\rtf1"));
}

}  // namespace
