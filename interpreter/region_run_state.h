// What a run of the compiled regions is in the middle of: the last word a node read (settled
// when the reader takes over), the closing word that ended the block just run, the String operands
// on the evaluation stack, the running straight pass's steps as pointers (kept for the pass's next
// entry while nothing they point into has moved), and the count of statements run compiled. None of it outlives the run's current statement, block or pass except
// the count.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interpreter/compiled_program.h"
#include "interpreter/name_index.h"
#include "interpreter/number_operators.h"
#include "interpreter/value.h"

struct RegionRunState {
    // A bound Integer shape with its operands as pointers to their values (a constant's in its
    // instruction, a variable's in its record): made for each evaluation, or once on entering
    // straight passes, during which no record, element table or instruction moves.
    enum class ShapeForm : std::uint8_t { kOne, kElement, kTwo, kLeft, kRight };
    struct PointedShape {
        ShapeForm form = ShapeForm::kOne;
        NumberOp first = NumberOp::kAdd;   // (a first b) second c, or a second (b first c)
        NumberOp second = NumberOp::kAdd;
        const std::int32_t* a = nullptr;
        const std::int32_t* b = nullptr;
        const std::int32_t* c = nullptr;
        const Value* array = nullptr;  // the array an element is read from, indexed by a
    };
    // A typed expression that is one number: a variable's value where it is kept, or a constant.
    struct NumberLeaf {
        std::uint8_t type = 0;  // 0: none (the typed code runs)
        const std::int32_t* integer = nullptr;
        const double* number = nullptr;
        std::int32_t integerConstant = 0;
        double numberConstant = 0.0;
    };
    // A part of a condition of more than one part, or of numbers that are no Integer shapes: its
    // Integer shapes as pointers, or (`typed` set) its typed code's numbers compared.
    struct PointedPart {
        PointedShape x;
        PointedShape y;
        const CompiledProgram::ConditionPart* typed = nullptr;
        NumberLeaf a;  // its typed sides where they are leaves
        NumberLeaf b;
        unsigned char orders = 0;
        bool alone = false;
        int chain = -1;
    };
    // How a step runs, found on entering the passes: a word (or a skip) only, the skip of a Then
    // branch to its Else, then the statements (counted): a store or a test, pointed or otherwise.
    enum class StepForm : std::uint8_t { kWord, kElseSkip, kPointedStore, kOtherStore, kPointedTest, kOtherTest };
    // A step's shapes: an assignment's index (an element's) and value, an If's two sides. A step
    // that is no bound Integer shape keeps its statement or condition, evaluated the general way.
    struct PointedStep {
        StepForm form = StepForm::kWord;
        int next = -1;       // as its StraightStep's
        int otherwise = -1;
        const CompiledProgram::Statement* statement = nullptr;
        const CompiledProgram::Condition* condition = nullptr;
        int firstPart = -1;  // its parts in pointedParts where every one is pointed or typed
        // A typed store: the value's typed code (and an element's index and a matrix element's
        // column, Integers) bound at entry, stored into the variable `target`.
        const CompiledProgram::Expression* value = nullptr;
        NumberLeaf leaf;  // the value where it is a leaf
        const CompiledProgram::Expression* index = nullptr;
        const CompiledProgram::Expression* column = nullptr;
        NumberLeaf indexLeaf;  // the index and the column where they are leaves
        NumberLeaf columnLeaf;
        Value* target = nullptr;
        PointedShape x;
        PointedShape y;
        std::int32_t* scalar = nullptr;  // a variable target
        Value* array = nullptr;          // an element target's array (x its index, y the value)
        unsigned char orders = 0;        // a condition's
        bool alone = false;              // a condition that is one shape's truth
    };
    // What the pointed steps were made for: the pass, the names' version, the records' place, the
    // places of the compiled items and binding caches they point into (compiling more may move
    // them) and how much typed code had been dropped. A pass entered again with all of them the
    // same takes its steps as they are.
    struct PointedFor {
        int pass = -1;
        NamesVersion version = 0;
        const Value* records = nullptr;
        const void* items[5] = {};
        std::uint64_t typedDropped = 0;
        bool operator==(const PointedFor&) const = default;
    };
    // The last word a node read: what it leaves behind is settled when the reading takes over.
    struct LastWord {
        int from = -1;       // where it is read from; -1: the parser's own state is current
        int index = 0;       // its history entry (past the count for a word put back)
        bool raw = false;    // read raw (a skip's closing word)
    };

    LastWord last;
    int closedBy = 0;  // the closing word that ended the block just run compiled, 0: another end
    std::string stackTexts[CompiledProgram::kMaxStack];  // the String operands on the evaluation stack
    std::string leftText;  // a compared String while the other side is evaluated
    std::string readText;  // the text a compiled file read read
    std::vector<PointedStep> pointedSteps;  // the running pass's steps, then its condition
    std::vector<PointedPart> pointedParts;  // the parts of the running pass's conditions
    PointedFor pointedFor;
    std::uint64_t typedDropped = 0;  // typed code dropped after its types changed
    std::uint64_t compiledStatements = 0;
    std::uint64_t straightStatements = 0;  // of those, steps of straight passes
};
