// Network members as operands (name . member): the extension says what reading the two names
// gives, or that the reading is to read them; the lookups the two names leave are made as reading
// them makes them.
#include "interpreter/compiled_regions.h"
#include "interpreter/region_guards.h"
#include "interpreter/tessel_parser.h"

bool CompiledRegions::MemberValue(CTesselParser& parser, const Instruction& instruction, Number& value) {
    const Member& member = program_.members[static_cast<std::size_t>(instruction.argument)];
    const int names[2] = {member.name, member.word};
    // Either name a variable now (or not looked up since the names changed): the reading takes it.
    if (!NamesLookedUp(parser, names, 2) || parser.RecordNamedAt(member.name) >= 0 || parser.RecordNamedAt(member.word) >= 0)
        return false;
    const std::string_view name = parser.CachedWordText(parser.scanCache_[static_cast<std::size_t>(member.name)]);
    return parser.ObjectMemberOperand(name, member.id, caches_.memberVariables[static_cast<std::size_t>(instruction.argument)], value);
}
