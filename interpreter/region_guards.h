// The checks and history writes every compiled node makes, inline where the nodes run.
#pragma once

#include <cstddef>

#include "interpreter/compiled_regions.h"
#include "interpreter/tessel_parser.h"

__attribute__((always_inline)) inline bool CompiledRegions::Fits(const CTesselParser& parser, int words, int depth) {
    return parser.tokenCount + words + 1 < CTesselParser::kHistoryLast &&
           parser.nestingDepth + 2 + depth < CTesselParser::kMaxNestingDepth;
}

__attribute__((always_inline)) inline void CompiledRegions::Write(CTesselParser& parser, int firstWord, int count) {
    parser.WriteHistory(words_.starts.data() + firstWord, words_.lengths.data() + firstWord, count);
}
