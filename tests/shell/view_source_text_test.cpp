// The editor's text as the interpreter receives it: code page 1256, one byte per character, one
// "\n" per line end, "?" for what the code page lacks, and editor positions recovered from bytes.
#include "tests/shell/view_harness.h"

#include <gtest/gtest.h>

#include "shell/source_text.h"

namespace {

TEST(ViewSourceText, OneBytePerCharacter) {
    struct Case {
        const char16_t* editor;
        const char* bytes;
    };
    const Case cases[] = {
        {u"Println 1\u2029Println 2", "Println 1\nPrintln 2"},  // paragraphs
        {u"a\u2028b", "a\nb"},                                  // a line break inside a paragraph
        {u"\u0633\u0644\u0627\u0645", "\xD3\xE1\xC7\xE3"},      // Arabic letters of the code page
        {u"\u00E9\t\u00A0", "\xE9\t\xA0"},                      // tab and no-break space kept
        {u"\u4E2D\u00FF", "??"},                                // not in the code page
        {u"x\U0001F600y", "x?y"},                               // one character, however the editor counts it
    };
    for (const Case& c : cases) {
        const SourceText source = SourceText::FromRawText(QString::fromUtf16(c.editor));
        EXPECT_EQ(source.Bytes(), c.bytes);
    }
}

TEST(ViewSourceText, BytePositionsGiveEditorPositions) {
    const SourceText plain = SourceText::FromRawText(QStringLiteral("abc\u2029de"));
    for (int i = 0; i <= 7; ++i) EXPECT_EQ(plain.EditorPosition(i), i);
    // "a", the emoji (two editor positions), "b", a second emoji, "c".
    const SourceText wide = SourceText::FromRawText(QString::fromUtf16(u"a\U0001F600b\U0001F600c"));
    ASSERT_EQ(wide.Bytes(), "a?b?c");
    const int expected[] = {0, 1, 3, 4, 6, 7, 8};
    for (int i = 0; i <= 6; ++i) EXPECT_EQ(wide.EditorPosition(i), expected[i]) << "byte " << i;
}

TEST(ViewSourceText, RichTextRunsLineByLine) {
    ViewPanes doc;
    doc.view.setHtml(QStringLiteral("<p><b>Println</b> 1</p><p>Println <i>2</i><br>Println 3</p>"));
    ASSERT_TRUE(doc.RunToEnd());
    EXPECT_EQ(doc.view.LastSourceText(), "Println 1\nPrintln 2\nPrintln 3");
    EXPECT_EQ(doc.Pane(), QStringLiteral("1\n2\n3\n"));
}

}  // namespace
