// The output pane's text as a text host keeps it: code page 1256 with CR LF, under the desktop
// pane's bound (view/output_bound.h), so that a script printing without end cannot exhaust memory.
// Text a stream has written can be let go: the pane then keeps only what it still has to show.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "view/output_bound.h"

class OutputPaneText {
public:
    static constexpr std::size_t kMaxLines = output_bound::kMaxLines;
    static constexpr std::size_t kMaxCharacters = output_bound::kMaxCharacters;
    static constexpr std::size_t kUnbounded = static_cast<std::size_t>(-1);

    // What is kept at most (at least one line and one character).
    void SetBounds(std::size_t maxLines, std::size_t maxCharacters);

    void Replace(std::string_view text);
    void Append(std::string_view text);

    // The pane shows nothing: nothing since the last replacement, which was empty. Text let go
    // by TakeText still counts as shown.
    bool Empty() const { return empty_; }
    bool EndsWithLineFeed() const { return !empty_ && ByteBefore(text_.size()) == '\n'; }
    // The lines kept: a final line break starts no line.
    std::size_t Lines() const;

    // What is kept.
    std::string Text() const { return text_.substr(start_); }
    // What is kept, let go of now.
    std::string TakeText();

private:
    // A line break is CR LF, a lone CR or a lone LF; before: the byte before text.
    struct Measure {
        std::size_t lineBreaks = 0;
        std::size_t characters = 0;
    };
    static Measure MeasureOf(std::string_view text, char before);
    char ByteBefore(std::size_t position) const { return position > 0 ? text_[position - 1] : before_; }

    void KeepWithinBounds();
    // Lets go of the oldest text through the lineBreaks-th line break, or through the end of the
    // line in which the characters-th character stands (exactly that many characters when that
    // line is the newest), whichever comes first.
    void DropOldest(std::size_t lineBreaks, std::size_t characters);
    void DropTo(std::size_t position, Measure dropped);

    std::string text_;
    std::size_t start_ = 0;  // text_[0, start_) has left the pane
    char before_ = 0;        // the byte before text_ (0: none)
    std::size_t lineBreaks_ = 0;
    std::size_t characters_ = 0;
    std::size_t maxLines_ = kMaxLines;
    std::size_t maxCharacters_ = kMaxCharacters;
    bool empty_ = true;
};
