#include "host/output_pane_text.h"

#include <algorithm>

using output_bound::ContinuesBreak;
using output_bound::IsLineBreak;

OutputPaneText::Measure OutputPaneText::MeasureOf(std::string_view text, char before) {
    Measure m;
    for (const char c : text) {
        if (!ContinuesBreak(before, c)) {
            ++m.characters;
            if (IsLineBreak(c)) ++m.lineBreaks;
        }
        before = c;
    }
    return m;
}

void OutputPaneText::SetBounds(std::size_t maxLines, std::size_t maxCharacters) {
    maxLines_ = std::max<std::size_t>(1, maxLines);
    maxCharacters_ = std::max<std::size_t>(1, maxCharacters);
    KeepWithinBounds();
}

void OutputPaneText::Replace(std::string_view text) {
    text_.assign(text);
    start_ = 0;
    before_ = 0;
    const Measure m = MeasureOf(text, before_);
    lineBreaks_ = m.lineBreaks;
    characters_ = m.characters;
    empty_ = text.empty();
    KeepWithinBounds();
}

void OutputPaneText::Append(std::string_view text) {
    if (text.empty()) return;
    const Measure m = MeasureOf(text, ByteBefore(text_.size()));
    text_.append(text);
    lineBreaks_ += m.lineBreaks;
    characters_ += m.characters;
    empty_ = false;
    KeepWithinBounds();
}

std::string OutputPaneText::TakeText() {
    before_ = ByteBefore(text_.size());
    std::string taken = start_ == 0 ? std::move(text_) : text_.substr(start_);
    text_.clear();
    start_ = 0;
    lineBreaks_ = 0;
    characters_ = 0;
    return taken;
}

std::size_t OutputPaneText::Lines() const {
    return output_bound::Lines(lineBreaks_, text_.size() > start_ && !IsLineBreak(text_.back()));
}

void OutputPaneText::KeepWithinBounds() {
    if (const std::size_t lines = output_bound::LinesOver(Lines(), maxLines_)) DropOldest(lines, kUnbounded);
    if (const std::size_t characters = output_bound::CharactersOver(characters_, maxCharacters_)) {
        DropOldest(kUnbounded, characters);
    }
}

void OutputPaneText::DropOldest(std::size_t lineBreaks, std::size_t characters) {
    Measure seen;
    Measure atReached;
    std::size_t reached = std::string::npos;  // just after the characters-th character
    char before = ByteBefore(start_);
    for (std::size_t i = start_; i < text_.size();) {
        const char c = text_[i++];
        const bool continued = ContinuesBreak(before, c);
        before = c;
        if (continued) continue;
        const bool lineBreak = IsLineBreak(c);
        if (lineBreak && i < text_.size() && ContinuesBreak(c, text_[i])) before = text_[i++];
        ++seen.characters;
        if (lineBreak) ++seen.lineBreaks;
        if (seen.characters == characters) {
            reached = i;
            atReached = seen;
        }
        if (lineBreak && seen.lineBreaks == lineBreaks) return DropTo(i, seen);
        // Whole lines go, but the newest is cut rather than lost.
        if (lineBreak && reached != std::string::npos) return i < text_.size() ? DropTo(i, seen) : DropTo(reached, atReached);
    }
    if (reached != std::string::npos) DropTo(reached, atReached);
}

void OutputPaneText::DropTo(std::size_t position, Measure dropped) {
    start_ = position;
    lineBreaks_ -= dropped.lineBreaks;
    characters_ -= dropped.characters;
    // The text left behind is given back once it is a quarter of the buffer: each byte is moved
    // a few times at most, and the buffer stays within a third more than what is kept.
    if (start_ < text_.size() / 4) return;
    before_ = ByteBefore(start_);
    text_.erase(0, start_);
    start_ = 0;
}
