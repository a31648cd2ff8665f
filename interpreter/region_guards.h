// The checks, lookups and history writes every compiled node makes, inline where the nodes run.
#pragma once

#include <cstddef>

#include "interpreter/compiled_regions.h"
#include "interpreter/tessel_parser.h"

__attribute__((always_inline)) inline bool CompiledRegions::Fits(const CTesselParser& parser, int words, int depth) {
    return parser.tokenCount + words + 1 < CTesselParser::kHistoryLast &&
           parser.nestingDepth + 2 + depth < CTesselParser::kMaxNestingDepth;
}

// A statement's keyword, a separator, a closing word: one entry, without the copy.
__attribute__((always_inline)) inline void CompiledRegions::WriteWord(CTesselParser& parser, int word) {
    const int at = parser.tokenCount++;
    parser.tokenStart[static_cast<std::size_t>(at)] = words_.starts[static_cast<std::size_t>(word)];
    parser.tokenLength[static_cast<std::size_t>(at)] = words_.lengths[static_cast<std::size_t>(word)];
}

__attribute__((always_inline)) inline void CompiledRegions::Write(CTesselParser& parser, int firstWord, int count) {
    parser.WriteHistory(words_.starts.data() + firstWord, words_.lengths.data() + firstWord, count);
}

__attribute__((always_inline)) inline int CompiledRegions::RecordOf(const CTesselParser& parser, const Instruction& instruction) {
    const std::uint32_t version = parser.names_.Version();
    if (instruction.version == version) return instruction.record;
    const int record = parser.RecordNamedAt(instruction.argument);
    if (record >= 0) {
        instruction.record = record;
        instruction.version = version;
    }
    return record;
}
