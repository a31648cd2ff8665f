// How long a large script document keeps the desktop from answering: File Open in a shown,
// maximised main window, the editor painted, one key typed at its start, and the editor's layout
// left to finish. What counts is the longest time the GUI thread answers nothing (a window
// manager's ping waits that long): a 1 ms timer in the GUI thread notes its longest gap. Run it on
// a real display (under Xvfb with a window manager, say): the offscreen platform lays the text out
// the same but paints nothing. The desktop refuses documents whose opening would pass 2 s.
#include "base/dyna_array.h"

#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/script_lines.h"
#include "platform/rich_document.h"
#include "platform/rtf_writer.h"
#include "shell/child_frame.h"
#include "shell/document_limits.h"
#include "shell/kestrum_view.h"
#include "shell/main_frame.h"

namespace {

enum Kind : std::int64_t {
    kScript,        // script lines up to size MB
    kSpacedLines,   // lines of size characters ("... + x + x"), up to 7 MB
    kUnbroken,      // lines of size "x" without a space
    kCombining,     // lines of an "e" with size - 1 combining accents on it
    kArabic,        // lines of size Arabic letters without a space
    kAccented,      // lines of size characters: words of five accented letters
    kBoldRuns,      // size runs of one character, bold and plain in turn, 100 to a line (RTF)
    kLineBreaks,    // a plain text file of size MB of line breaks
};

std::string Repeated(const std::string& piece, std::int64_t times) {
    std::string out;
    out.reserve(piece.size() * static_cast<std::size_t>(times));
    for (std::int64_t i = 0; i < times; ++i) out += piece;
    return out;
}

rich::Paragraph Line(std::string text) { return {rich::Alignment::kLeft, {{std::move(text), rich::CharFormat{}}}}; }

rich::Document ScriptLines(std::size_t bytesWanted, std::int64_t lineLength) {
    rich::Document doc;
    std::size_t bytes = 0;
    for (std::size_t line = 0; bytes < bytesWanted; ++line) {
        std::string text = bench_text::ScriptLine(line);
        while (lineLength > 0 && text.size() < static_cast<std::size_t>(lineLength)) text += " + x";
        if (lineLength > 0) text.resize(static_cast<std::size_t>(lineLength));
        bytes += text.size() + 1;
        doc.paragraphs.push_back(Line(std::move(text)));
    }
    return doc;
}

// Written as a word processor would, a group for each bold run: 7 bytes for two runs.
std::string BoldRuns(std::int64_t runs) {
    std::string rtf = "{\\rtf1\\ansi ";
    for (std::int64_t run = 0; run < runs; run += 2) rtf += run % 100 == 98 ? "{\\b a}a\\par\n" : "{\\b a}a";
    return rtf + "}";
}

// One line of size characters, as UTF-8.
std::string LineOf(Kind kind, std::int64_t size) {
    switch (kind) {
        case kUnbroken: return std::string(static_cast<std::size_t>(size), 'x');
        case kCombining: return "e" + Repeated("\xCC\x81", size - 1);  // U+0301
        case kArabic: return Repeated("\xD8\xA8", size);  // U+0628
        case kAccented: return Repeated("e\xCC\x81" "a\xCC\x80" "i\xCC\x82 ", size / 10);
        default: return std::string();
    }
}

std::string FileBytes(Kind kind, std::int64_t size, std::int64_t lines) {
    switch (kind) {
        case kScript: return rtf::WriteDocument(ScriptLines(static_cast<std::size_t>(size) << 20, 0));
        case kSpacedLines: return rtf::WriteDocument(ScriptLines(std::size_t{7} << 20, size));
        case kUnbroken:
        case kCombining:
        case kArabic:
        case kAccented: return Repeated(LineOf(kind, size) + "\n", lines);
        case kBoldRuns: return BoldRuns(size);
        case kLineBreaks: return std::string(static_cast<std::size_t>(size) << 20, '\n');
    }
    return std::string();
}

long ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * 4096 / (1 << 20);
}

// Runs the event loop until the editor's layout has not grown for a while.
void WaitForLayout(CKestrumView* editor) {
    QAbstractTextDocumentLayout* layout = editor->document()->documentLayout();
    QElapsedTimer still;
    still.start();
    QSizeF size = layout->documentSize();
    for (QElapsedTimer all; !all.isValid() || all.elapsed() < 120000;) {
        if (!all.isValid()) all.start();
        QTest::qWait(20);
        if (layout->documentSize() != size) {
            size = layout->documentSize();
            still.restart();
        } else if (still.elapsed() > 1000) {
            return;
        }
    }
}

void BM_OpenUntilAnswering(benchmark::State& state) {
    const auto kind = static_cast<Kind>(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath("large.NNProg");
    const std::string bytes = FileBytes(kind, state.range(1), state.range(2));
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / (1 << 20);
    for (auto _ : state) {
        CMainFrame frame;
        frame.showMaximized();
        static_cast<void>(QTest::qWaitForWindowExposed(&frame));
        QElapsedTimer clock;
        QElapsedTimer sinceTick;
        qint64 longest = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longest = std::max(longest, sinceTick.restart());
        });
        tick.start(1);
        // A refusal's message box is answered at once.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [] {
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        answer.start(100);
        clock.start();
        sinceTick.start();
        CChildFrame* child = frame.OpenDocumentFile(path);
        if (child == nullptr) {
            state.counters["refused"] = 1;
            state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
            continue;
        }
        CKestrumView* editor = child->EditorView();
        QApplication::processEvents();
        editor->repaint();
        QTest::keyClick(editor, Qt::Key_X);
        QApplication::processEvents();
        editor->repaint();
        WaitForLayout(editor);
        tick.stop();
        longest = std::max(longest, sinceTick.elapsed());
        state.counters["total_s"] = static_cast<double>(clock.elapsed()) / 1000;
        state.counters["rss_MB"] = static_cast<double>(ResidentMegabytes());
        state.SetIterationTime(static_cast<double>(longest) / 1000);
        editor->document()->setModified(false);
    }
}

// The time is the longest the desktop did not answer. Script lines up to the line limit, long
// lines up to the character limit, text without spaces and stacked accents alone and 64 lines of
// them, accented words up to the character limit, format runs, and line breaks up to the file
// limit.
BENCHMARK(BM_OpenUntilAnswering)
    ->ArgNames({"kind", "size", "lines"})
    ->Args({kScript, 1, 0})
    ->Args({kScript, 6, 0})
    ->Args({kSpacedLines, 2000, 0})
    ->Args({kSpacedLines, doc_limits::kMaxLineCharacters, 0})
    ->ArgsProduct({{kUnbroken, kCombining, kArabic}, {3000, 10000, 30000, 100000}, {1}})
    ->ArgsProduct({{kUnbroken, kCombining, kArabic}, {1000, 3000, 10000}, {64}})
    ->Args({kAccented, 2000, 4000})
    ->Args({kBoldRuns, 200000, 0})
    ->Args({kBoldRuns, 500000, 0})
    ->Args({kBoldRuns, 2000000, 0})
    ->Args({kLineBreaks, 32, 0})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
