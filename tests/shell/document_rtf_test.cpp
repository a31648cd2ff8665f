// Script documents with formats: what the RTF reader keeps, and that what the writer produces
// reads back the same here and in kestrum-run's plain-text reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cp1256.h"
#include "platform/rich_document.h"
#include "platform/rtf_document_reader.h"
#include "platform/rtf_reader.h"
#include "platform/rtf_writer.h"

namespace {

rich::Document Read(const std::string& rtf) {
    rich::Document doc;
    std::string error;
    EXPECT_TRUE(rtf::ReadDocument(rtf, doc, error)) << error;
    return rich::Normalized(doc);
}

rich::CharFormat Format(const char* font, int halfPoints) {
    rich::CharFormat f;
    f.font = font;
    f.halfPoints = halfPoints;
    return f;
}

TEST(DocumentRtfTest, ReaderKeepsCharacterFormatsAndParagraphs) {
    const rich::Document doc = Read(
        "{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}{\\f1\\fswiss Arial;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\fs20 plain {\\b bold}{\\i it}{\\ul u}{\\strike s}"
        "{\\cf1 red}{\\f1\\fs28 big}\\par\\pard\\qc centred\\par\\pard\\plain after}");
    ASSERT_EQ(doc.paragraphs.size(), 3u);
    const std::vector<rich::Run>& runs = doc.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 7u);
    const rich::CharFormat base = Format("Courier New", 20);
    EXPECT_EQ(runs[0].text, "plain ");
    EXPECT_EQ(runs[0].format, base);
    auto with = [&](auto change) {
        rich::CharFormat f = base;
        change(f);
        return f;
    };
    EXPECT_EQ(runs[1].format, with([](rich::CharFormat& f) { f.bold = true; }));
    EXPECT_EQ(runs[2].format, with([](rich::CharFormat& f) { f.italic = true; }));
    EXPECT_EQ(runs[3].format, with([](rich::CharFormat& f) { f.underline = true; }));
    EXPECT_EQ(runs[4].format, with([](rich::CharFormat& f) { f.strikeOut = true; }));
    EXPECT_EQ(runs[5].format, with([](rich::CharFormat& f) { f.hasColour = true, f.colour = 0xFF0000; }));
    EXPECT_EQ(runs[6].format, Format("Arial", 28));
    EXPECT_EQ(doc.paragraphs[1].alignment, rich::Alignment::kCenter);
    EXPECT_EQ(doc.paragraphs[2].alignment, rich::Alignment::kLeft);
    EXPECT_EQ(doc.paragraphs[2].runs[0].format, Format("Courier New", 24));  // \plain: RTF's 12 points
}

TEST(DocumentRtfTest, ReaderTextAndObjects) {
    struct Case {
        const char* what;
        std::string rtf;
        std::string text;  // UTF-8, paragraphs joined by "|"
        int objects;
    };
    const std::vector<Case> cases = {
        {"code page 1256 bytes", "{\\rtf1\\ansi\\ansicpg1256 \\'c7\\'e1}", "\xD8\xA7\xD9\x84", 0},
        {"unicode with fallback", "{\\rtf1\\uc1\\u1575?x}", "\xD8\xA7x", 0},
        {"surrogate pair", "{\\rtf1\\u-10179?\\u-8704?}", "\xF0\x9F\x98\x80", 0},
        {"line inside a paragraph", "{\\rtf1 a\\line b\\par c}", "a\xE2\x80\xA8" "b|c", 0},
        {"object left out and counted", "{\\rtf1 a{\\object{\\objdata 0102}{\\result r}}b}", "ab", 1},
        {"pictures are not objects", "{\\rtf1 a{\\pict 0102}b}", "ab", 0},
        {"unclosed groups end with the bytes", "{\\rtf1 {\\b x", "x", 0},
    };
    for (const Case& c : cases) {
        rich::Document doc;
        std::string error;
        ASSERT_TRUE(rtf::ReadDocument(c.rtf, doc, error)) << c.what;
        std::string text;
        for (std::size_t i = 0; i < doc.paragraphs.size(); ++i) {
            if (i > 0) text += "|";
            for (const rich::Run& run : doc.paragraphs[i].runs) text += run.text;
        }
        EXPECT_EQ(text, c.text) << c.what;
        EXPECT_EQ(doc.droppedObjects, c.objects) << c.what;
    }
}

TEST(DocumentRtfTest, WrittenDocumentsReadBackWithTheSameTextAndFormats) {
    rich::CharFormat fancy = Format("Times New Roman", 31);
    fancy.bold = fancy.italic = fancy.underline = fancy.strikeOut = true;
    fancy.hasColour = true;
    fancy.colour = 0x12AB34;
    rich::CharFormat brace = Format("Odd {Font}\\", 20);
    const rich::Document doc{{
        {rich::Alignment::kLeft, {{"Println \"x\" // {braces} \\ back\tslash", rich::CharFormat{}}}},
        {rich::Alignment::kRight, {{"\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 \xE2\x82\xAC \xE4\xB8\xAD \xF0\x9F\x98\x80", fancy},
                                   {"\x01 line\xE2\x80\xA8" "break", brace}}},
        {rich::Alignment::kJustify, {}},
        {rich::Alignment::kCenter, {{"last", fancy}}},
    }};
    const std::string rtf = rtf::WriteDocument(doc);
    const rich::Document back = Read(rtf);
    ASSERT_EQ(back.paragraphs.size(), doc.paragraphs.size());
    for (std::size_t i = 0; i < doc.paragraphs.size(); ++i) EXPECT_EQ(back.paragraphs[i], doc.paragraphs[i]) << i;

    // kestrum-run reads the same text in its code page; characters it lacks become "?".
    std::string plain;
    std::string error;
    ASSERT_TRUE(rtf::ExtractPlainText(rtf, plain, error));
    EXPECT_EQ(plain, cp1256::FromUtf8("Println \"x\" // {braces} \\ back\tslash\n"
                                      "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 \xE2\x82\xAC ? ?\x01 line\nbreak\n\nlast"));
}

TEST(DocumentRtfTest, PlainTextFilesOpenAsKestrumRunReadsThem) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> paragraphs;
    };
    const std::vector<Case> cases = {
        {"UTF-8 with BOM and CR LF", "\xEF\xBB\xBFPrint 1\r\nPrint \xD8\xA7\r\n", {"Print 1", "Print \xD8\xA7", ""}},
        {"code page 1256", "a\xC7\rb", {"a\xD8\xA7", "b"}},
        {"empty file", "", {""}},
    };
    for (const Case& c : cases) {
        rich::Document doc;
        std::string error;
        ASSERT_TRUE(rich::LoadDocument(c.bytes, doc, error)) << c.what;
        std::vector<std::string> paragraphs;
        for (const rich::Paragraph& p : doc.paragraphs) paragraphs.push_back(p.runs.empty() ? "" : p.runs[0].text);
        EXPECT_EQ(paragraphs, c.paragraphs) << c.what;
    }
    rich::Document untouched;
    std::string error;
    EXPECT_FALSE(rich::LoadDocument("{\\rtf1" + std::string(20000, '{'), untouched, error));
    EXPECT_NE(error.find("nested"), std::string::npos);
    EXPECT_TRUE(untouched.paragraphs.empty());
}

}  // namespace
