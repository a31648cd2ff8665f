// A document larger than the editor lays out within 2 s is refused while it is read, with a
// message that says why; one within the limits opens, up to each limit's exact value.
#define HEAP_PROBE_OPERATORS
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <string>
#include <vector>

#include "file_bytes.h"
#include "heap_probe.h"
#include "platform/rich_document.h"
#include "platform/rtf_writer.h"
#include "shell/document_limits.h"
#include "shell/kestrum_doc.h"

namespace {

using Characters = std::vector<std::string>;  // UTF-8, one character each
const Characters kWords = {"a", "b", "c", " "};

// lines paragraphs of lineLength characters, taken from characters in turn.
rich::Document Lines(qint64 lines, qint64 lineLength, const Characters& characters = kWords) {
    std::string text;
    for (qint64 i = 0; i < lineLength; ++i) text += characters[static_cast<std::size_t>(i) % characters.size()];
    rich::Document doc;
    doc.paragraphs.assign(static_cast<std::size_t>(lines), rich::Paragraph{rich::Alignment::kLeft, {{text, {}}}});
    return doc;
}

rich::Document WithLastLine(rich::Document doc, const std::string& text) {
    doc.paragraphs.push_back(rich::Paragraph{rich::Alignment::kLeft, {{text, {}}}});
    return doc;
}

// lines paragraphs of runsPerLine runs of a word, bold and plain in turn.
rich::Document FormatRuns(qint64 lines, qint64 runsPerLine) {
    rich::CharFormat bold;
    bold.bold = true;
    rich::Paragraph paragraph;
    for (qint64 run = 0; run < runsPerLine; ++run) paragraph.runs.push_back({"a ", run % 2 == 0 ? bold : rich::CharFormat{}});
    rich::Document doc;
    doc.paragraphs.assign(static_cast<std::size_t>(lines), paragraph);
    return doc;
}

// The document and a line with one change of format.
rich::Document WithChange(rich::Document doc) {
    doc.paragraphs.push_back(FormatRuns(1, 2).paragraphs.front());
    return doc;
}

// The longest stretch without a space the bounds take.
qint64 LongestStretch(const rich::Bounds& bounds) {
    qint64 length = 0;
    while ((length + 1) * (length + 1) / bounds.stretchDivisor <= bounds.stretchCost) ++length;
    return length;
}

// Why the editor refuses the document written as a file ("" when it takes it).
std::string Refusal(const rich::Document& doc) {
    rich::Document read;
    std::string error;
    const bool ok = rich::LoadDocument(rtf::WriteDocument(doc), read, error, doc_limits::EditorBounds());
    EXPECT_EQ(ok, error.empty());
    return error;
}

TEST(DocumentLimitsTest, EachLimitTakesItsValueAndRefusesOneMore) {
    using namespace doc_limits;
    const qint64 longest = kMaxLineCharacters;
    const qint64 perLine = kMaxCharacters / 128;
    const rich::Bounds bounds = EditorBounds();
    const qint64 stretch = LongestStretch(bounds);
    // Marks on one letter make a stretch too: the stack at its limit with its stretch's share.
    qint64 marks = 0;
    while (((marks + 2) * (marks + 2)) / bounds.stretchDivisor + ((marks + 1) * (marks + 1)) / bounds.markDivisor <=
           bounds.stretchCost) {
        ++marks;
    }
    struct Case {
        const char* what;
        rich::Document doc;
        std::string says;  // "" for a document the editor takes
    };
    const Case cases[] = {
        {"lines at the limit", Lines(kMaxLines, 1), ""},
        {"one line more", Lines(kMaxLines + 1, 1), "it has more than " + std::to_string(kMaxLines) + " lines"},
        {"a final line break starts no line", WithLastLine(Lines(kMaxLines, 1), ""), ""},
        {"an empty line before it does", WithLastLine(Lines(kMaxLines + 1, 0), ""), "it has more than"},
        {"a line at the limit", Lines(2, longest), ""},
        {"a line one character longer", Lines(2, longest + 1),
         "line 1 has more than " + std::to_string(longest) + " characters"},
        {"two-byte characters count once", Lines(1, longest, {"\xD8\xA7", "\xD8\xA8", " "}), ""},
        {"characters at the limit", Lines(128, perLine), ""},
        {"one character more", WithLastLine(Lines(128, perLine), "x"),
         "it holds more than " + std::to_string(kMaxCharacters) + " characters"},
        {"format changes at the limit", FormatRuns(20, kMaxFormatChanges / 20 + 1), ""},
        {"one change more", WithChange(FormatRuns(20, kMaxFormatChanges / 20 + 1)),
         "it changes the character format more than " + std::to_string(kMaxFormatChanges) + " times"},
        {"text without a space at the limit", Lines(1, stretch, {"x"}), ""},
        {"one letter more", Lines(1, stretch + 1, {"x"}), "its text without spaces and its accents stacked on one letter, up to line 1, are more"},
        {"the same letters with spaces", Lines(1, 2 * stretch, {"x", "x", "x", " "}), ""},
        {"marks stacked at the limit", WithLastLine(Lines(0, 0), "e" + Lines(1, marks, {"\xCC\x81"}).paragraphs[0].runs[0].text),
         ""},
        {"one mark more", WithLastLine(Lines(3, 1), "e" + Lines(1, marks + 1, {"\xCC\x81"}).paragraphs[0].runs[0].text),
         "up to line 4, are more than the editor lays out in time"},
    };
    for (const Case& c : cases) {
        const std::string reason = Refusal(c.doc);
        if (c.says.empty()) {
            EXPECT_EQ(reason, "") << c.what;
        } else {
            EXPECT_NE(reason.find(c.says), std::string::npos) << c.what << ": " << reason;
        }
    }
}

TEST(DocumentLimitsTest, FilesAtTheLimitsOpenAndBeyondThemAreRefusedWhileRead) {
    QTemporaryDir dir;
    const qint64 lines = doc_limits::kMaxLines;
    const QByteArray line = "Println i\n";
    Write(dir.filePath("lines.NNProg"), line.repeated(lines));
    Write(dir.filePath("one more.NNProg"), line.repeated(lines) + "x");
    QByteArray manyLines = "{\\rtf1 ";
    for (qint64 i = 0; i < lines; ++i) manyLines += "x\\par ";
    Write(dir.filePath("lines.rtf"), manyLines + "}");
    Write(dir.filePath("one more.rtf"), manyLines + "x}");
    const qint64 limit = doc_limits::kMaxFileBytes;
    // Bytes that are not text (a group the reader skips) fill the file to its limit.
    const auto filled = [](qint64 size) {
        const QByteArray head = "{\\rtf1 text{\\*\\filler ";
        return head + QByteArray(static_cast<int>(size - head.size() - 2), 'f') + "}}";
    };
    Write(dir.filePath("at the limit.NNProg"), filled(limit));
    Write(dir.filePath("one byte more.NNProg"), filled(limit + 1));
    Write(dir.filePath("line breaks.NNProg"), QByteArray(static_cast<int>(limit), '\n'));
    QFile huge(dir.filePath("huge.NNProg"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(limit + 1));  // sparse: nothing is written
    huge.close();
    const QString moreLines = QString("it has more than %1 lines; the editor takes at most %1").arg(lines);
    struct Case {
        QString file;
        QString says;  // "" when it opens
    };
    const Case cases[] = {
        {"lines.NNProg", ""},
        {"one more.NNProg", moreLines},
        {"lines.rtf", ""},
        {"one more.rtf", moreLines},
        {"at the limit.NNProg", ""},
        {"one byte more.NNProg", "the file is larger than 32 MB"},
        {"line breaks.NNProg", moreLines},
        {"huge.NNProg", "the file is larger than 32 MB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        CKestrumDoc doc;
        doc.OnNewDocument();
        doc.TextDocument()->setPlainText("kept");
        QString error;
        heap_probe::Arm();
        const bool opened = doc.OnOpenDocument(dir.filePath(c.file), error);
        heap_probe::Disarm();
        // Reading stops at the bound: no line beyond it is built.
        EXPECT_LT(heap_probe::requests.load(), 20 * lines);
        if (c.says.isEmpty()) {
            EXPECT_TRUE(opened) << error.toStdString();
            EXPECT_NE(doc.TextDocument()->toPlainText(), "kept");
            continue;
        }
        EXPECT_FALSE(opened);
        EXPECT_TRUE(error.startsWith("Cannot open " + dir.filePath(c.file) + ": ")) << error.toStdString();
        EXPECT_TRUE(error.contains(c.says)) << error.toStdString();
        EXPECT_EQ(doc.TextDocument()->toPlainText(), "kept");
        EXPECT_TRUE(doc.PathName().isEmpty());
    }
}

// Memory running out while a document is read refuses that document; the program and the
// documents already open stay.
TEST(DocumentLimitsTest, ExhaustedMemoryRefusesTheDocument) {
    QTemporaryDir dir;
    const QString path = dir.filePath("large.NNProg");
    Write(path, QByteArray(4 << 20, 'x'));
    CKestrumDoc doc;
    doc.OnNewDocument();
    doc.TextDocument()->setPlainText("kept");
    QString error;
    heap_probe::Arm(1 << 20);
    const bool opened = doc.OnOpenDocument(path, error);
    heap_probe::Disarm();
    EXPECT_FALSE(opened);
    EXPECT_EQ(error, "Cannot open " + path + ": there is not enough memory to read it");
    EXPECT_EQ(doc.TextDocument()->toPlainText(), "kept");
}

}  // namespace
