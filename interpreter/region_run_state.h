// What a run of the compiled regions is in the middle of: the last word a node read (settled
// when the reader takes over), the closing word that ended the block just run, the String operands
// on the evaluation stack, the running straight pass's steps as pointers, and the count of
// statements run compiled. None of it outlives the run's current statement, block or pass except
// the count.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interpreter/compiled_program.h"
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
    // A step's shapes: an assignment's index (an element's) and value, an If's two sides.
    struct PointedStep {
        PointedShape x;
        PointedShape y;
        std::int32_t* scalar = nullptr;  // a variable target
        Value* array = nullptr;          // an element target's array (x its index, y the value)
        unsigned char orders = 0;        // a condition's
        bool alone = false;              // a condition that is one shape's truth
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
    std::uint64_t compiledStatements = 0;
};
