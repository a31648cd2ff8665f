// The file commands and reads compiled as nodes: FileWriteString, FileWrite1b and its siblings,
// and a String variable given FileReadString. Their guards (room, the text's or the count's
// evaluation, the variable a File and open, the count positive) are tested first; the write and
// the read are then made by the same code the reading calls, once, where the reading makes them.
#include "interpreter/builtin_arguments.h"
#include "interpreter/compiled_regions.h"
#include "interpreter/keyword_codes.h"
#include "interpreter/region_guards.h"
#include "interpreter/tessel_parser.h"
#include "interpreter/value.h"
#include "platform/crt_file.h"

crt::CrtFile* CompiledRegions::OpenFileNamedAt(const CTesselParser& parser, int name) {
    const int record = parser.RecordNamedAt(name);
    if (record < 0) return nullptr;
    const Value& variable = parser.variables[record];
    return variable.count == 1 && variable.type == kTypeFile ? variable.value.file : nullptr;
}

CompiledRegions::Ran CompiledRegions::RunFileWrite(CTesselParser& parser, const Node& node) {
    const Statement& statement = program_.statements[static_cast<std::size_t>(node.item)];
    if (!Fits(parser, statement.wordCount, statement.depth)) return Ran::kHandOver;
    crt::CrtFile* const file = OpenFileNamedAt(parser, node.name);
    Number n{};
    if (file == nullptr || !Evaluate(parser, program_.expressions[static_cast<std::size_t>(statement.value)], n))
        return Ran::kHandOver;
    const bool text = node.code == kw::kFileWriteString;
    if (!text && n.type == kTypeString) return Ran::kHandOver;  // the reading refuses it
    if (statement.text) ResolveTextNames(parser, statement.names);
    // The words are counted before the write, so that a write that fails is reported on ")".
    FinishStatement(parser, statement);
    std::string number;
    const int written = text ? builtin::PutFileString(parser, *file, ResultText(n, number))
                             : builtin::PutFileBinary(parser, *file, node.code, n.AsDouble());
    return written ? Ran::kDone : Ran::kFailed;
}

// The reading meets the value's keyword right after "=", a keyword that forgets the last literal:
// the file is always read, never the literal taken again.
CompiledRegions::Ran CompiledRegions::RunFileRead(CTesselParser& parser, const Node& node) {
    const Statement& statement = program_.statements[static_cast<std::size_t>(node.item)];
    if (!Fits(parser, node.wordCount, statement.depth)) return Ran::kHandOver;
    const int target = parser.AssignableRecordNamedAt(statement.readPosition);
    if (target < 0 || parser.variables[target].type != kTypeString) return Ran::kHandOver;
    Number n{};
    if (!Evaluate(parser, program_.expressions[static_cast<std::size_t>(statement.value)], n) || n.type == kTypeString)
        return Ran::kHandOver;
    const std::int32_t count = DoubleToInt32(n.AsDouble());
    crt::CrtFile* const file = OpenFileNamedAt(parser, node.name);
    if (count < 1 || file == nullptr) return Ran::kHandOver;

    const int entry = parser.history.Count() + 2;  // the value's one entry, after the target and "="
    // A skip reads the same words raw, the keyword an entry of its own: entries a pass wrote here
    // are not known to hold this statement's words, nor these the skip's.
    parser.history.Disturb();
    FinishStatement(parser, statement);
    // The word read after the value first, then the arguments' words, as reading them leaves them.
    const std::size_t beyond = static_cast<std::size_t>(node.firstWord + statement.wordCount);
    parser.history.WriteBeyond(program_.words.starts.data() + beyond, program_.words.lengths.data() + beyond,
                               node.wordCount - statement.wordCount);
    builtin::GetFileString(*file, count, run_.readText);
    Value::SetSlotText(parser.variables[target].value, run_.readText);

    const std::size_t value = static_cast<std::size_t>(node.firstWord + 2);
    const int start = program_.words.starts[value];
    parser.KeepBuiltinLiteral(entry, start, start + program_.words.lengths[value], token::kStringValue, run_.readText);
    if (node.keywordAfter) parser.ForgetBuiltinLiteral();  // the keyword read after it forgets it
    return Ran::kDone;
}
