#include "platform/rtf_document_reader.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/cp1256.h"
#include "platform/document_tally.h"
#include "platform/rtf_syntax.h"

namespace rtf {
namespace {

using syntax::ControlWord;

constexpr int kNoFont = -1;
constexpr int kDefaultHalfPoints = 24;  // RTF's size when a document names none
constexpr int kMinHalfPoints = 2;
constexpr int kMaxHalfPoints = 3276;
constexpr char32_t kLineSeparator = 0x2028;
using syntax::kParagraphEnd;

constexpr std::array<std::string_view, 9> kUnderlineWords = {
    "ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulth", "ulw", "ulwave"};

enum class Destination { kText, kFontTable, kColourTable };

struct Font {
    std::string name;
    int codePage = syntax::kCodePageOfDocument;
};

struct GroupState {
    Destination destination = Destination::kText;
    bool skip = false;
    int fallbackLength = 1;  // \ucN
    int font = kNoFont;
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int colour = 0;  // index into the colour table; 0 is the automatic colour
};

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

class DocumentReader : public syntax::Scanner<GroupState> {
public:
    DocumentReader(const std::string& in, const rich::Bounds& bounds) : Scanner(in), tally_(bounds) {}

    bool Run(rich::Document& out, std::string& error) {
        if (!Scan(error)) return false;
        if (tally_.Passed()) {
            error = tally_.Why();
            return false;
        }
        doc_.paragraphs.back().alignment = alignment_;
        out = std::move(doc_);
        return true;
    }

private:
    GroupState& Group() { return CurrentGroup(); }

    void GroupClosed() override { formatStale_ = true; }
    void HandleCharacter(char32_t cp) override { Emit(cp); }

    void HandleWord(const ControlWord& cw) override {
        if (cw.word == "u") {  // also in font names
            if (cw.hasParameter) EmitUnicode(cw.parameter);
            return;
        }
        if (Group().destination == Destination::kFontTable) return HandleFontTableWord(cw);
        if (Group().destination == Destination::kColourTable) return HandleColourTableWord(cw);
        if (cw.word == "fonttbl" || cw.word == "colortbl") {
            Group().destination = cw.word == "fonttbl" ? Destination::kFontTable : Destination::kColourTable;
            return;
        }
        if (syntax::IsSkippedDestination(cw.word)) {
            // A picture inside an object is the object's own likeness; one in a skipped group
            // (\*\shppict) has a plain twin (\nonshppict) that is counted instead.
            if (cw.word == "object" && !Group().skip) ++doc_.droppedObjects;
            if (cw.word == "pict" && !Group().skip) ++doc_.droppedPictures;
            Group().skip = true;
            return;
        }
        if (Group().skip || HandleDocumentWord(cw) || HandleFormatWord(cw)) return;
        if (TakeFallback()) return;
        HandleTextWord(cw);
    }

    bool HandleDocumentWord(const ControlWord& cw) {
        if (cw.word == "ansicpg" && cw.hasParameter) {
            documentCodePage_ = static_cast<int>(cw.parameter);
        } else if (cw.word == "deff" && cw.hasParameter) {
            defaultFont_ = static_cast<int>(cw.parameter);
        } else if (cw.word == "uc" && cw.hasParameter) {
            Group().fallbackLength = static_cast<int>(std::max<std::int64_t>(cw.parameter, 0));
        } else if (cw.word == "pard" || cw.word == "ql") {
            alignment_ = rich::Alignment::kLeft;
        } else if (cw.word == "qc") {
            alignment_ = rich::Alignment::kCenter;
        } else if (cw.word == "qr") {
            alignment_ = rich::Alignment::kRight;
        } else if (cw.word == "qj") {
            alignment_ = rich::Alignment::kJustify;
        } else {
            return false;
        }
        return true;
    }

    // Character formats: a word without a parameter or with a non-zero one turns a property on.
    bool HandleFormatWord(const ControlWord& cw) {
        GroupState& g = Group();
        const bool on = !cw.hasParameter || cw.parameter != 0;
        const int value = static_cast<int>(cw.parameter);
        if (cw.word == "plain") {
            const GroupState fresh;
            g.font = kNoFont;
            g.halfPoints = fresh.halfPoints;
            g.bold = g.italic = g.underline = g.strikeOut = false;
            g.colour = 0;
        } else if (cw.word == "f" && cw.hasParameter) {
            g.font = value;
        } else if (cw.word == "fs" && cw.hasParameter) {
            g.halfPoints = std::clamp(value, kMinHalfPoints, kMaxHalfPoints);
        } else if (cw.word == "b") {
            g.bold = on;
        } else if (cw.word == "i") {
            g.italic = on;
        } else if (cw.word == "ulnone") {
            g.underline = false;
        } else if (std::find(kUnderlineWords.begin(), kUnderlineWords.end(), cw.word) != kUnderlineWords.end()) {
            g.underline = on;
        } else if (cw.word == "strike" || cw.word == "striked") {
            g.strikeOut = on;
        } else if (cw.word == "cf" && cw.hasParameter) {
            g.colour = value;
        } else {
            return false;
        }
        formatStale_ = true;
        return true;
    }

    void HandleTextWord(const ControlWord& cw) {
        if (cw.word == "par" || cw.word == "sect" || cw.word == "page" || cw.word == "row") {
            Emit(kParagraphEnd);
        } else if (cw.word == "line") {
            Emit(kLineSeparator);
        } else if (cw.word == "tab" || cw.word == "cell") {
            Emit('\t');
        } else if (const char32_t named = syntax::NamedCharacter(cw.word); named != 0) {
            Emit(named);
        }
    }

    void HandleFontTableWord(const ControlWord& cw) {
        if (!cw.hasParameter || Group().skip) return;
        if (cw.word == "f") {
            definingFont_ = static_cast<int>(cw.parameter);
            fonts_[definingFont_] = Font{};
        } else if (cw.word == "fcharset" && definingFont_ != kNoFont) {
            fonts_[definingFont_].codePage = syntax::CharsetCodePage(cw.parameter);
        } else if (cw.word == "cpg" && definingFont_ != kNoFont) {
            fonts_[definingFont_].codePage = static_cast<int>(cw.parameter);
        }
    }

    void HandleColourTableWord(const ControlWord& cw) {
        const int shift = cw.word == "red" ? 16 : cw.word == "green" ? 8 : cw.word == "blue" ? 0 : -1;
        if (shift < 0 || !cw.hasParameter) return;
        const auto component = static_cast<std::uint32_t>(std::clamp<std::int64_t>(cw.parameter, 0, 255));
        definingColour_ = definingColour_.value_or(0) | (component << shift);
    }

    int CodePageOf(int font) const {
        const auto it = fonts_.find(font != kNoFont ? font : defaultFont_);
        if (it != fonts_.end() && it->second.codePage != syntax::kCodePageOfDocument) return it->second.codePage;
        return documentCodePage_;
    }

    void HandleByte(unsigned char byte) override {
        const int codePage = CodePageOf(Group().destination == Destination::kFontTable ? definingFont_ : Group().font);
        if (codePage != 1252) {
            Emit(cp1256::ToCodePoint(byte));
            return;
        }
        const char32_t cp = syntax::Cp1252CodePoint(byte);
        Emit(cp == 0 ? U'?' : cp);
    }

    // \uN: N is a signed 16-bit value; a surrogate pair makes one character.
    void EmitUnicode(std::int64_t parameter) {
        const std::int64_t value = parameter < 0 ? parameter + 65536 : parameter;
        StartFallback();
        const bool low = value >= 0xDC00 && value <= 0xDFFF;
        const bool high = value >= 0xD800 && value <= 0xDBFF;
        if (low && highSurrogate_ != 0) {
            const char32_t cp = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + static_cast<char32_t>(value - 0xDC00);
            highSurrogate_ = 0;
            Emit(cp);
            return;
        }
        if (high) {
            if (highSurrogate_ != 0) Emit('?');
            highSurrogate_ = static_cast<char32_t>(value);
            return;
        }
        Emit(value >= 0 && value <= 0xFFFF && !low ? static_cast<char32_t>(value) : U'?');
    }

    void Emit(char32_t cp) {
        if (highSurrogate_ != 0) {
            highSurrogate_ = 0;
            Emit('?');
        }
        if (Group().skip) return;
        switch (Group().destination) {
            case Destination::kFontTable: return EmitFontName(cp);
            case Destination::kColourTable: return EmitColourTable(cp);
            case Destination::kText: break;
        }
        if (cp == kParagraphEnd || cp == '\r' || cp == '\n') {
            if (tally_.LineEnd()) EndParagraph();
        } else if (tally_.Character(cp)) {
            cp1256::AppendUtf8(CurrentRun().text, cp);
        }
        if (tally_.Passed()) Stop();
    }

    void EmitFontName(char32_t cp) {
        if (definingFont_ == kNoFont) return;
        Font& font = fonts_[definingFont_];
        if (cp == ';') {
            font.name = Trimmed(font.name);
            definingFont_ = kNoFont;
        } else if (cp >= 0x20 && cp != kLineSeparator && cp != kParagraphEnd && cp != 0x2029) {
            cp1256::AppendUtf8(font.name, cp);
        }
    }

    void EmitColourTable(char32_t cp) {
        if (cp != ';') return;
        colours_.push_back(definingColour_);
        definingColour_.reset();
    }

    void EndParagraph() {
        doc_.paragraphs.back().alignment = alignment_;
        doc_.paragraphs.emplace_back();
        formatStale_ = true;
    }

    rich::CharFormat CurrentFormat() const {
        const GroupState& g = CurrentGroup();
        rich::CharFormat format;
        const auto font = fonts_.find(g.font != kNoFont ? g.font : defaultFont_);
        if (font != fonts_.end() && !Trimmed(font->second.name).empty()) format.font = Trimmed(font->second.name);
        format.halfPoints = g.halfPoints;
        format.bold = g.bold;
        format.italic = g.italic;
        format.underline = g.underline;
        format.strikeOut = g.strikeOut;
        if (g.colour > 0 && static_cast<std::size_t>(g.colour) < colours_.size() && colours_[g.colour]) {
            format.hasColour = true;
            format.colour = *colours_[g.colour];
        }
        return format;
    }

    rich::Run& CurrentRun() {
        std::vector<rich::Run>& runs = doc_.paragraphs.back().runs;
        if (formatStale_ || runs.empty()) {
            rich::CharFormat format = CurrentFormat();
            if (runs.empty() || !(runs.back().format == format)) {
                if (!runs.empty() && !tally_.FormatChange()) Stop();
                runs.push_back({std::string(), std::move(format)});
            }
            formatStale_ = false;
        }
        return runs.back();
    }

    rich::Document doc_{{rich::Paragraph{}}, 0, 0};
    rich::Alignment alignment_ = rich::Alignment::kLeft;
    bool formatStale_ = true;
    char32_t highSurrogate_ = 0;
    int documentCodePage_ = syntax::kCodePageAsIs;
    int defaultFont_ = kNoFont;
    int definingFont_ = kNoFont;
    std::map<int, Font> fonts_;
    std::vector<std::optional<std::uint32_t>> colours_;
    std::optional<std::uint32_t> definingColour_;
    rich::Tally tally_;
};

}  // namespace

bool ReadDocument(const std::string& rtfBytes, rich::Document& out, std::string& error, const rich::Bounds& bounds) {
    if (!IsRtf(rtfBytes)) {
        error = "not an RTF document (it does not begin with \"{\\rtf\")";
        return false;
    }
    DocumentReader reader(rtfBytes, bounds);
    return reader.Run(out, error);
}

}  // namespace rtf
