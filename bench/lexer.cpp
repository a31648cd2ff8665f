// Lexer speed: tokens per second over a large generated script, read as the check pass reads it
// (ordinary mode, built-in values neutral) and as the skippers read it (raw mode), once with the
// scan cache warm (every loop pass and call re-reads text it has read before) and once cold.
#include <benchmark/benchmark.h>

#include <string>

#include "view/null_view.h"
#include "netscript/loriant_parser.h"

namespace {

// About 20000 lines of ordinary statements: declarations, arithmetic, conditions, loops, calls,
// strings and both kinds of comment.
const std::string& LargeScript() {
    static const std::string text = [] {
        std::string s;
        for (int i = 0; i < 2500; ++i) {
            const std::string n = std::to_string(i);
            s += "Integer count" + n + " : Float total" + n + " : String name" + n + "\n";
            s += "For count" + n + " = 1 To 100 Step 2\n";
            s += "  total" + n + " = total" + n + " + count" + n + " * 2.5 - (3 / 4) ^ 2 // running sum\n";
            s += "  If total" + n + " >= 1000 And count" + n + " <> 7 Then name" + n + " = \"big \" + 'x' Endif\n";
            s += "Next\n";
            s += "/* block comment " + n + " with /* a nested */ part */\n";
            s += "While count" + n + " > 0 : count" + n + " = count" + n + " - 1 : Wend\n";
            s += "Call Report" + n + "\n";
        }
        return s;
    }();
    return text;
}

void Prepare(CLoriantParser& parser, bool keepCache) {
    if (!keepCache) parser.SetSource(LargeScript());
    parser.textLength = static_cast<int>(LargeScript().size());
    parser.ResetRun();
    parser.execute = 0;
    parser.runState = kRunning;
}

void ScanToEnd(benchmark::State& state, int raw, bool warm) {
    NullView view;
    CLoriantParser parser(&view);
    parser.SetSource(LargeScript());
    std::int64_t tokens = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Prepare(parser, warm);
        state.ResumeTiming();
        std::int64_t n = 0;
        while (parser.ReadToken(raw) != token::kEnd) ++n;
        tokens += n;
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(tokens);
    state.counters["tokens/s"] = benchmark::Counter(static_cast<double>(tokens), benchmark::Counter::kIsRate);
}

void BM_CheckPassScanWarm(benchmark::State& state) { ScanToEnd(state, 0, true); }
void BM_RawScanWarm(benchmark::State& state) { ScanToEnd(state, 1, true); }
void BM_CheckPassScanCold(benchmark::State& state) { ScanToEnd(state, 0, false); }
void BM_RawScanCold(benchmark::State& state) { ScanToEnd(state, 1, false); }

BENCHMARK(BM_CheckPassScanWarm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawScanWarm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckPassScanCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawScanCold)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
