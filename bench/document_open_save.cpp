// Opening and saving a 2 MB script document in the desktop: the whole of File Open (read, RTF,
// the editor's document) and File Save (the editor's document, RTF, the atomic write), with the
// RTF reading and writing alone beside them. Two documents: one format throughout, as scripts
// usually are, and a new format on every line.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTextDocument>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/script_lines.h"
#include "platform/rich_document.h"
#include "platform/rtf_document_reader.h"
#include "platform/rtf_writer.h"
#include "shell/kestrum_doc.h"
#include "shell/text_document_convert.h"

namespace {

constexpr std::size_t kDocumentBytes = 2 * 1024 * 1024;

rich::Document ScriptDocument(bool formatPerLine) {
    rich::Document doc;
    std::size_t bytes = 0;
    for (std::size_t line = 0; bytes < kDocumentBytes; ++line) {
        rich::CharFormat format;
        if (formatPerLine) {
            format.bold = line % 2 == 0;
            format.hasColour = line % 3 == 0;
            format.colour = 0x0000C0;
        }
        const std::string text = bench_text::ScriptLine(line);
        doc.paragraphs.push_back({rich::Alignment::kLeft, {{text, format}}});
        bytes += text.size() + 1;
    }
    return doc;
}

struct Files {
    QTemporaryDir dir;
    QString plain = dir.filePath("plain.NNProg");
    QString formatted = dir.filePath("formatted.NNProg");
    Files() {
        for (const auto& [path, perLine] : {std::pair{plain, false}, std::pair{formatted, true}}) {
            std::ofstream(path.toStdString(), std::ios::binary) << rtf::WriteDocument(ScriptDocument(perLine));
        }
    }
    const QString& Path(int formatted_) const { return formatted_ ? formatted : plain; }
};

Files& TheFiles() {
    static Files files;
    return files;
}

void BM_FileOpen(benchmark::State& state) {
    for (auto _ : state) {
        CKestrumDoc doc;
        QString error;
        if (!doc.OnOpenDocument(TheFiles().Path(static_cast<int>(state.range(0))), error)) state.SkipWithError("open");
        benchmark::DoNotOptimize(doc.TextDocument()->blockCount());
    }
}

void BM_FileSave(benchmark::State& state) {
    CKestrumDoc doc;
    QString error;
    doc.OnOpenDocument(TheFiles().Path(static_cast<int>(state.range(0))), error);
    const QString target = TheFiles().dir.filePath("saved.NNProg");
    for (auto _ : state) {
        if (!doc.OnSaveDocument(target, error)) state.SkipWithError("save");
    }
}

void BM_RtfReadOnly(benchmark::State& state) {
    const std::string bytes = rtf::WriteDocument(ScriptDocument(state.range(0) != 0));
    for (auto _ : state) {
        rich::Document doc;
        std::string error;
        benchmark::DoNotOptimize(rtf::ReadDocument(bytes, doc, error));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_RtfWriteOnly(benchmark::State& state) {
    const rich::Document doc = ScriptDocument(state.range(0) != 0);
    for (auto _ : state) benchmark::DoNotOptimize(rtf::WriteDocument(doc));
}

BENCHMARK(BM_FileOpen)->ArgName("formatPerLine")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FileSave)->ArgName("formatPerLine")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfReadOnly)->ArgName("formatPerLine")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfWriteOnly)->ArgName("formatPerLine")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
