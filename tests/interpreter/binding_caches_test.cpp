// The binding caches beside a compiled program: every item compiled gets caches that have looked
// at nothing yet, the caches of items compiled before keep what a run found, and clearing forgets
// them all.
#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "interpreter/binding_caches.h"
#include "interpreter/compiled_program.h"

namespace {

using Program = CompiledProgram;

// Adds one item of every kind that has caches, as compiling a statement would.
void CompileOneOfEach(Program& program) {
    program.instructions.push_back({Program::Op::kVariable, 3});
    program.instructions.push_back({Program::Op::kConstant, 0});
    Program::Expression expression;
    expression.firstInstruction = static_cast<int>(program.instructions.size()) - 2;
    expression.instructionCount = 2;
    program.expressions.push_back(expression);
    Program::Statement statement;
    statement.slot = static_cast<int>(program.statements.size());
    program.statements.push_back(statement);
    program.members.push_back({1, 2, 3});
    program.AddTextName(5);
    program.conditions.emplace_back();
    program.nodes.emplace_back();
    program.nodes.back().slot = static_cast<int>(program.nodes.size()) - 1;
    program.skips.emplace_back();
}

// How many caches of each kind there are, and whether the one at `k` has looked at nothing.
struct Kind {
    const char* name;
    std::function<std::size_t(const BindingCaches&)> size;
    std::function<std::size_t(const Program&)> items;
    std::function<bool(const BindingCaches&, std::size_t)> fresh;
    std::function<void(BindingCaches&, std::size_t)> find;  // what a run leaves in it
};

const std::vector<Kind>& Kinds() {
    static const std::vector<Kind> kinds = {
        {"instructions", [](const BindingCaches& c) { return c.instructions.size(); },
         [](const Program& p) { return p.instructions.size(); },
         [](const BindingCaches& c, std::size_t k) {
             const BindingCaches::Instruction& i = c.instructions[k];
             return i.name.record == -1 && i.name.version == 0 && i.expression.typedFirst == -1 &&
                    i.expression.typedTries == 0 && i.expression.integersAt == 0 && i.expression.integersTried == 0;
         },
         [](BindingCaches& c, std::size_t k) {
             c.instructions[k].name = {7, 4};
             c.instructions[k].expression.integersAt = 4;
             c.instructions[k].expression.typedFirst = 0;
         }},
        {"statements", [](const BindingCaches& c) { return c.statements.size(); },
         [](const Program& p) { return p.statements.size(); },
         [](const BindingCaches& c, std::size_t k) {
             const BindingCaches::Statement& s = c.statements[k];
             return s.targetAt == 0 && s.targetTried == 0 && s.floatAt == 0 && s.floatTried == 0 && s.target.record == -1;
         },
         [](BindingCaches& c, std::size_t k) {
             c.statements[k].floatAt = 4;
             c.statements[k].target = {2, 4};
         }},
        {"members", [](const BindingCaches& c) { return c.memberVariables.size(); },
         [](const Program& p) { return p.members.size(); },
         [](const BindingCaches& c, std::size_t k) { return c.memberVariables[k] == -1; },
         [](BindingCaches& c, std::size_t k) { c.memberVariables[k] = 1; }},
        {"names of texts", [](const BindingCaches& c) { return c.nameAnswers.size(); },
         [](const Program& p) { return p.textNames.size(); },
         [](const BindingCaches& c, std::size_t k) {
             return c.nameAnswers[k].version == 0 && c.nameAnswers[k].keywordId == -2 && c.nameAnswers[k].variableIndex == -1;
         },
         [](BindingCaches& c, std::size_t k) { c.nameAnswers[k] = {3, 171, -1}; }},
        {"conditions", [](const BindingCaches& c) { return c.conditionAnswers.size(); },
         [](const Program& p) { return p.conditions.size(); },
         [](const BindingCaches& c, std::size_t k) { return c.conditionAnswers[k].version == 0; },
         [](BindingCaches& c, std::size_t k) { c.conditionAnswers[k] = {3, -2, 4}; }},
        {"nodes", [](const BindingCaches& c) { return c.nodes.size(); },
         [](const Program& p) { return p.nodes.size(); },
         [](const BindingCaches& c, std::size_t k) {
             const BindingCaches::Node& n = c.nodes[k];
             return n.subroutine == -1 && n.subroutineCount == -1 && n.straight == BindingCaches::kNotLookedAt &&
                    n.straightTries == 0 && n.nameAnswer.version == 0;
         },
         [](BindingCaches& c, std::size_t k) {
             c.nodes[k].straight = BindingCaches::kNotStraight;
             c.nodes[k].subroutine = 0;
         }},
        {"skips", [](const BindingCaches& c) { return c.skipVariables.size(); },
         [](const Program& p) { return p.skips.size(); },
         [](const BindingCaches& c, std::size_t k) { return c.skipVariables[k] == 0; },
         [](BindingCaches& c, std::size_t k) { c.skipVariables[k] = 4; }},
    };
    return kinds;
}

TEST(BindingCaches, EveryItemCompiledGetsCachesThatHaveLookedAtNothing) {
    Program program;
    BindingCaches caches;
    CompileOneOfEach(program);
    caches.Fit(program);
    for (const Kind& kind : Kinds()) {
        ASSERT_EQ(kind.size(caches), kind.items(program)) << kind.name;
        for (std::size_t k = 0; k < kind.size(caches); ++k) EXPECT_TRUE(kind.fresh(caches, k)) << kind.name << " " << k;
    }
}

TEST(BindingCaches, WhatARunFoundStaysWhenMoreIsCompiled) {
    Program program;
    BindingCaches caches;
    CompileOneOfEach(program);
    caches.Fit(program);
    for (const Kind& kind : Kinds()) kind.find(caches, 0);
    CompileOneOfEach(program);
    caches.Fit(program);
    for (const Kind& kind : Kinds()) {
        ASSERT_EQ(kind.size(caches), kind.items(program)) << kind.name;
        EXPECT_FALSE(kind.fresh(caches, 0)) << kind.name << ": what the run found is kept";
        EXPECT_TRUE(kind.fresh(caches, kind.size(caches) - 1)) << kind.name << ": the new item's has looked at nothing";
    }
    // Fitting again without new items changes nothing.
    caches.Fit(program);
    for (const Kind& kind : Kinds()) EXPECT_FALSE(kind.fresh(caches, 0)) << kind.name;
}

TEST(BindingCaches, ClearingForgetsWhatTheRunFound) {
    Program program;
    BindingCaches caches;
    CompileOneOfEach(program);
    caches.Fit(program);
    for (const Kind& kind : Kinds()) kind.find(caches, 0);
    caches.typedCode.push_back({BindingCaches::TypedOp::kIntegerConstant});
    caches.Clear();
    EXPECT_TRUE(caches.typedCode.empty());
    for (const Kind& kind : Kinds()) EXPECT_EQ(kind.size(caches), 0u) << kind.name;
    // The same program fitted again: a run starts from nothing found.
    caches.Fit(program);
    for (const Kind& kind : Kinds()) EXPECT_TRUE(kind.fresh(caches, 0)) << kind.name;
}

TEST(CompiledProgram, ClearingForgetsEveryItem) {
    Program program;
    CompileOneOfEach(program);
    program.AddWord(0, 3);
    program.Clear();
    EXPECT_TRUE(program.instructions.empty());
    EXPECT_TRUE(program.expressions.empty());
    EXPECT_TRUE(program.statements.empty());
    EXPECT_TRUE(program.members.empty());
    EXPECT_TRUE(program.textNames.empty());
    EXPECT_TRUE(program.conditions.empty());
    EXPECT_TRUE(program.nodes.empty());
    EXPECT_TRUE(program.skips.empty());
    EXPECT_EQ(program.words.Size(), 0);
}

}  // namespace
