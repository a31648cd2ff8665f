// Network members as operands (name . member): the extension says what reading the two names
// gives, or that the reading is to read them; the lookups the two names leave are made as reading
// them makes them.
#include "interpreter/compiled_regions.h"
#include "interpreter/region_guards.h"
#include "interpreter/tessel_parser.h"

bool CompiledRegions::MemberValue(CTesselParser& parser, const Instruction& instruction, Number& value) const {
    const Member& member = members_[static_cast<std::size_t>(instruction.argument)];
    const int names[2] = {member.name, member.word};
    // Either name a variable now (or not looked up since the names changed): the reading takes it.
    if (!NamesLookedUp(parser, names, 2) || parser.RecordNamedAt(member.name) >= 0 || parser.RecordNamedAt(member.word) >= 0)
        return false;
    const std::string_view name = parser.CachedWordText(parser.scanCache_[static_cast<std::size_t>(member.name)]);
    return parser.ObjectMemberOperand(name, member.id, member.variable, value);
}

// The member's word, an extension keyword, sets the keyword id unless a later name has; the
// network's name before it, no keyword, sets the network variable index.
void CompiledRegions::ResolveMemberNames(CTesselParser& parser, const Instruction& instruction, bool& keywordSet) const {
    const Member& member = members_[static_cast<std::size_t>(instruction.argument)];
    if (!keywordSet) parser.objectKeywordId = member.id;
    keywordSet = true;
    parser.objectVariableIndex = member.variable;
}
