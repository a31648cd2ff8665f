// The pieces of RTF syntax that every reader of it shares: control words, hex digits, the
// destinations that hold no document text, and the character sets and code pages of fonts.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtf_reader.h"

namespace rtf::syntax {

constexpr int kCodePageAsIs = 0;         // bytes are taken as code page 1256 bytes unchanged
constexpr int kCodePageOfDocument = -1;  // a font without a code page of its own

struct ControlWord {
    std::string_view word;
    bool hasParameter = false;
    std::int64_t parameter = 0;
};

bool IsLetter(char c);
bool IsDigit(char c);
// -1 for a character that is not a hex digit.
int HexValue(char c);

// Reads the control word that starts at pos (the letter after the backslash): its letters, an
// optional signed parameter (clamped to 32 bits) and the blank that delimits it.
ControlWord ReadControlWord(std::string_view in, std::size_t& pos);

// Destinations whose text is not part of the document (font and colour tables, pictures,
// objects, headers, fields' instructions, ...).
bool IsSkippedDestination(std::string_view word);

// \fcharsetN as a code page: kCodePageOfDocument for the default set, kCodePageAsIs for sets
// other than Western and Arabic.
int CharsetCodePage(std::int64_t charset);

// A byte of code page 1252 as a code point; 0 for the five bytes that code page leaves unused.
char32_t Cp1252CodePoint(unsigned char byte);

// The code point of a word that stands for one character (\emdash, \bullet, ...), 0 for others.
char32_t NamedCharacter(std::string_view word);

// Stands for \par and its kin among the characters a scanner hands on; not a character itself.
constexpr char32_t kParagraphEnd = 0xFFFFFFFF;

// Walks an RTF stream: groups (each a copy of its parent's Group state until changed), control
// words, control symbols, hex escapes, \bin data and the fallback characters that follow \uN.
// Readers derive from it and say what words and text mean. Group needs `skip` (set by \*) and
// `fallbackLength` (\ucN).
template <class Group>
class Scanner {
public:
    virtual ~Scanner() = default;

protected:
    explicit Scanner(std::string_view in) : in_(in) {}

    // Reads up to the closing brace of the document's own group, or to the last byte when groups
    // are left open, or until a reader stops it. false with a message when groups nest deeper than kMaxGroupDepth.
    bool Scan(std::string& error) {
        bool finished = false;
        while (pos_ < in_.size() && !finished && !stopped_) {
            const char c = in_[pos_++];
            if (c == '{') {
                if (groups_.size() >= kMaxGroupDepth) {
                    error = "RTF groups are nested more than " + std::to_string(kMaxGroupDepth) + " deep";
                    return false;
                }
                groups_.push_back(groups_.empty() ? Group{} : groups_.back());
                pendingFallback_ = 0;
            } else if (c == '}') {
                pendingFallback_ = 0;
                if (!groups_.empty()) groups_.pop_back();
                finished = groups_.empty();
                GroupClosed();
            } else if (c == '\\') {
                ReadControl();
            } else if (c != '\r' && c != '\n') {  // line ends in the source are not text
                TextByte(static_cast<unsigned char>(c));
            }
        }
        return true;
    }

    // A control word other than \bin.
    virtual void HandleWord(const ControlWord& cw) = 0;
    // A text byte or \'hh that is not a fallback character, in the current code page.
    virtual void HandleByte(unsigned char byte) = 0;
    // The character of a control symbol (\\ \{ \} \~ \_, a backslash before a line end as
    // kParagraphEnd), unless it is a fallback character.
    virtual void HandleCharacter(char32_t cp) = 0;
    virtual void GroupClosed() {}

    // Ends the scan after the element being read.
    void Stop() { stopped_ = true; }

    Group& CurrentGroup() { return groups_.back(); }
    const Group& CurrentGroup() const { return groups_.back(); }

    // After \uN: the next \ucN characters are the fallback for readers without Unicode.
    void StartFallback() { pendingFallback_ = static_cast<std::size_t>(groups_.back().fallbackLength); }
    // true (and one fewer pending) when the element just read is a fallback character.
    bool TakeFallback() {
        if (pendingFallback_ == 0) return false;
        --pendingFallback_;
        return true;
    }

private:
    void ReadControl() {
        if (pos_ >= in_.size()) return;
        if (IsLetter(in_[pos_])) {
            const ControlWord cw = ReadControlWord(in_, pos_);
            if (cw.word == "bin") {
                SkipBinary(cw.parameter);
            } else {
                HandleWord(cw);
            }
            return;
        }
        const char symbol = in_[pos_++];
        if (symbol == '\'') return ReadHexByte();
        if (symbol == '*') {
            groups_.back().skip = true;
            return;
        }
        if (TakeFallback()) return;
        switch (symbol) {
            case '\\': case '{': case '}': HandleCharacter(static_cast<unsigned char>(symbol)); break;
            case '~': HandleCharacter(0xA0); break;
            case '_': HandleCharacter('-'); break;
            case '\r': case '\n': HandleCharacter(kParagraphEnd); break;
            default: break;  // \- \| \: and unknown symbols: no text
        }
    }

    void ReadHexByte() {
        int value = 0;
        for (int i = 0; i < 2; ++i) {
            const int digit = pos_ < in_.size() ? HexValue(in_[pos_]) : -1;
            if (digit < 0) return;  // an incomplete escape is dropped
            value = value * 16 + digit;
            ++pos_;
        }
        TextByte(static_cast<unsigned char>(value));
    }

    void TextByte(unsigned char byte) {
        if (!TakeFallback()) HandleByte(byte);
    }

    void SkipBinary(std::int64_t length) {
        if (length <= 0) return;
        pos_ += std::min<std::size_t>(in_.size() - pos_, static_cast<std::size_t>(length));
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    std::vector<Group> groups_;
    std::size_t pendingFallback_ = 0;
    bool stopped_ = false;
};

}  // namespace rtf::syntax
