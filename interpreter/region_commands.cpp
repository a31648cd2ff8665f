// Commands compiled as nodes: those whose whole effect is a setting the run reads later
// (`keyword = number`), run with the reading's checks as guards, and the file writes
// (region_files.cpp). Commands that wait, open or close files, sound or windows stay with the reader.
#include "interpreter/compiled_regions.h"
#include "interpreter/keyword_codes.h"
#include "interpreter/region_guards.h"
#include "interpreter/tessel_parser.h"
#include "interpreter/value.h"

namespace {

// The commands kept as nodes: BiggestArray = number, the variable table's grow step.
bool IsSettingCommand(int code) { return code == kw::kBiggestArray; }

// The commands whose one effect is a write to an open file.
bool IsFileWrite(int code) {
    switch (code) {
        case kw::kFileWriteString: case kw::kFileWrite1b: case kw::kFileWrite2b: case kw::kFileWrite4bi:
        case kw::kFileWrite4bf: case kw::kFileWrite8b: case kw::kFileWrite1bu: case kw::kFileWrite2bu:
        case kw::kFileWrite4bu:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool CompiledProgram::CompileCommand(CTesselParser& parser, Node& node, int position) {
    if (IsFileWrite(node.code)) return CompileFileWrite(parser, node, position);
    if (!IsSettingCommand(node.code)) return false;
    words.Resize(node.firstWord);  // the keyword is read again with the rest
    node.item = CompileStatement(parser, position, node.code);
    if (node.item < 0) return false;
    node.kind = NodeKind::kCommand;
    return true;
}

// The number is read as an expression one level down, as an assignment's value is; a value that
// is no number is the reading's to report.
CompiledRegions::Ran CompiledRegions::RunCommand(CTesselParser& parser, const Node& node) {
    const Statement& statement = program_.statements[static_cast<std::size_t>(node.item)];
    if (!Fits(parser, statement.wordCount, statement.depth)) return Ran::kHandOver;
    Number n{};
    if (!Evaluate(parser, program_.expressions[static_cast<std::size_t>(statement.value)], n) || n.type == kTypeString)
        return Ran::kHandOver;
    if (statement.text) ResolveTextNames(parser, statement.names);
    parser.SetVariableStep(DoubleToInt32(n.AsDouble()));
    FinishStatement(parser, statement);
    return Ran::kDone;
}
