#include "host/console_view.h"

#include <algorithm>
#include <cstdint>

#include "interpreter/value.h"
#include "platform/cp1256.h"

namespace {

// Pane text (code page 1256, CR LF) as a terminal shows it: UTF-8 with LF.
std::string ForTerminal(const std::string& paneText) {
    std::string lf;
    lf.reserve(paneText.size());
    std::size_t from = 0;
    for (std::size_t at = paneText.find("\r\n"); at != std::string::npos; at = paneText.find("\r\n", from)) {
        lf.append(paneText, from, at - from);
        from = at + 1;  // the line feed stays
    }
    lf.append(paneText, from);
    return cp1256::ToUtf8(lf);
}

}  // namespace

void ConsoleView::OutputText(const std::string& text, int append, int crlfBefore, int crlfAfter, int) {
    static constexpr std::string_view kLineBreak = "\r\n";
    std::lock_guard<std::mutex> lock(mutex_);
    if (append == 0) {
        // A replaced pane cannot be taken back from a stream: it is shown when text is next added.
        pane_.Replace(text);
        return;
    }
    if (crlfBefore && !pane_.Empty()) pane_.Append(kLineBreak);
    pane_.Append(text);
    if (crlfAfter) pane_.Append(kLineBreak);
    if (stream_) StreamRest(false);
}

void ConsoleView::StreamTo(std::FILE* out) {
    std::lock_guard<std::mutex> lock(mutex_);
    stream_ = out;
    // What is written is let go of at once; a bound would cut a long line before it was written.
    pane_.SetBounds(OutputPaneText::kUnbounded, OutputPaneText::kUnbounded);
}

void ConsoleView::FlushStream() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stream_) StreamRest(true);
}

// Called with mutex_ held and a stream set.
void ConsoleView::StreamRest(bool endLine) {
    const bool lineEnded = pane_.Empty() || pane_.EndsWithLineFeed();
    // Written by length: a NUL byte is pane text like any other.
    std::string rest = ForTerminal(pane_.TakeText());
    if (endLine && !lineEnded) rest.push_back('\n');
    if (std::fwrite(rest.data(), 1, rest.size(), stream_) != rest.size() || std::fflush(stream_) != 0) {
        streamFailed_ = true;
        RequestStop(kExitScriptError);
    }
}

std::uint32_t ConsoleView::SetEditorBackground(std::uint32_t colour) {
    std::uint32_t previous = background_;
    background_ = colour;
    return previous;
}

TreeItem ConsoleView::NewTreeItem(TreeEntry entry) {
    std::lock_guard<std::mutex> lock(mutex_);
    tree_.push_back(std::move(entry));
    // Items are numbered from 1 so that no item is the empty item.
    return reinterpret_cast<TreeItem>(static_cast<std::uintptr_t>(tree_.size()));
}

TreeItem ConsoleView::AddTreeItem(const std::string& text, int category, TreeItem parent, int srcStart, int srcLength) {
    return NewTreeItem({text, category, parent, srcStart, srcLength});
}

void ConsoleView::AddVariableToTree(const Value& record, int, int srcStart, int srcLength) {
    NewTreeItem({record.name, record.type, nullptr, srcStart, srcLength});
}

TreeItem ConsoleView::AddNetworkToTree(const ObjectVariable&, int, int srcStart, int srcLength) {
    return NewTreeItem({std::string(), 7, nullptr, srcStart, srcLength});
}

void ConsoleView::ShowChart(const std::string& title, const std::vector<double>& values, int count,
                            const std::vector<std::string>* labels) {
    std::lock_guard<std::mutex> lock(mutex_);
    Chart chart;
    chart.title = title;
    std::size_t n = count > 0 ? static_cast<std::size_t>(count) : 0;
    chart.values.assign(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(std::min(n, values.size())));
    if (labels) chart.labels.assign(labels->begin(), labels->begin() + static_cast<std::ptrdiff_t>(std::min(n, labels->size())));
    charts_.push_back(std::move(chart));
}

void ConsoleView::UpdateTrainingStats(int epochs, int maxEpochs, double error, double, double, double) {
    if (!progress_) return;
    std::fprintf(progress_, "\r\033[KTraining: epoch %d of %d, error %.6g", epochs, maxEpochs, error);
    std::fflush(progress_);
    progressShown_ = true;
}

void ConsoleView::EndTrainingDisplay() {
    if (!progress_ || !progressShown_) return;
    std::fputs("\r\033[K", progress_);
    std::fflush(progress_);
    progressShown_ = false;
}
