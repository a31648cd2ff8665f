// Rows of scripts whose statements are to run compiled: each row's run with compiled regions
// leaves what the word-by-word reading leaves, the reading prints what the row pins, and at least
// the row's count of statements ran as compiled nodes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/interpreter/script_comparison.h"

struct CompiledRow {
    const char* name;
    const char* script;
    std::string pane;        // what the reading prints, where pinned
    std::uint64_t compiled;  // at least this many statements run compiled
};

// The pane of a run that printed `printed` and then failed with `message`.
inline std::string ErrorPane(const std::string& printed, const char* message) {
    return printed + (printed.empty() ? "" : "\r\n") + "Program Terminated  By ERROR.\r\n\r\n" + message + "\r\n";
}

template <std::size_t N>
void ExpectCompiledAsReading(const CompiledRow (&rows)[N]) {
    for (const CompiledRow& row : rows) {
        ScriptComparison run(row.script);
        EXPECT_EQ(run.regions.Outcome(), run.reading.Outcome()) << row.name;
        if (!row.pane.empty()) {
            EXPECT_EQ(run.reading.view.Pane(), row.pane) << row.name;
        }
        EXPECT_GE(run.regions.parser.CompiledStatements(), row.compiled) << row.name;
    }
}
