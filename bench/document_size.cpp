// How long a large script document keeps the desktop from answering: File Open of a document of
// N MB in a shown, maximised main window, the editor painted, and one key typed at its start and
// painted, timed together. Run it on a real display (under Xvfb with a window manager, say):
// the offscreen platform lays the text out the same but paints nothing. The desktop refuses
// documents above the size where this passes a few seconds.
#include "base/dyna_array.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/script_lines.h"
#include "platform/rich_document.h"
#include "platform/rtf_writer.h"
#include "shell/child_frame.h"
#include "shell/kestrum_view.h"
#include "shell/main_frame.h"

namespace {

// Script lines, or (lineLength > 0) lines of that many characters, or (lineLength < 0) one line,
// up to megabytes of text.
std::string RtfDocument(std::int64_t megabytes, std::int64_t lineLength) {
    rich::Document doc;
    const std::size_t wanted = static_cast<std::size_t>(megabytes) << 20;
    if (lineLength < 0) lineLength = static_cast<std::int64_t>(wanted);
    std::size_t bytes = 0;
    for (std::size_t line = 0; bytes < wanted; ++line) {
        std::string text = bench_text::ScriptLine(line);
        while (lineLength > 0 && text.size() < static_cast<std::size_t>(lineLength)) text += " + x";
        if (lineLength > 0) text.resize(static_cast<std::size_t>(lineLength));
        doc.paragraphs.push_back({rich::Alignment::kLeft, {{text, rich::CharFormat{}}}});
        bytes += text.size() + 1;
    }
    return rtf::WriteDocument(doc);
}

void BM_OpenUntilAnswering(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("large.NNProg");
    std::ofstream(path.toStdString(), std::ios::binary) << RtfDocument(state.range(0), state.range(1));
    for (auto _ : state) {
        CMainFrame frame;
        frame.showMaximized();
        static_cast<void>(QTest::qWaitForWindowExposed(&frame));
        QElapsedTimer clock;
        clock.start();
        CChildFrame* child = frame.OpenDocumentFile(path);
        if (child == nullptr) {
            state.SkipWithError("not opened");
            break;
        }
        CKestrumView* editor = child->EditorView();
        QApplication::processEvents();
        editor->repaint();
        QTest::keyClick(editor, Qt::Key_X);
        QApplication::processEvents();
        editor->repaint();
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        editor->document()->setModified(false);
    }
}

// Script lines up to the line limit (6 MB: 188,000 lines), and long lines up to the character
// limit.
BENCHMARK(BM_OpenUntilAnswering)
    ->ArgNames({"MB", "lineLength"})
    ->ArgsProduct({{1, 3, 6}, {0}})
    ->ArgsProduct({{1, 7}, {2000, 100000}})
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
