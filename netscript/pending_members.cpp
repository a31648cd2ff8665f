// Members and object files of network variables until the engine's networks are in.
#include "netscript/loriant_parser.h"

namespace {
constexpr const char* kNotYet = "Error: Network members are not available in this build yet.";
}

int CLoriantParser::ExecuteObjectStatement() { return ReadMemberTarget() < 0 ? 0 : FailWith(kNotYet); }
int CLoriantParser::EvaluateObjectMember(Value& /*result*/) { return ReadMemberTarget() < 0 ? 0 : FailWith(kNotYet); }
int CLoriantParser::SaveObjectStatement() { return FailWith(kNotYet); }
int CLoriantParser::LoadObjectStatement() { return FailWith(kNotYet); }
