// The extension object, its part in every pass, the statements that begin with an extension
// keyword (the output statements and the network declarations), and the member dispatch.
#include "netscript/loriant_parser.h"

#include "interpreter/keyword_codes.h"
#include "interpreter/value.h"
#include "netscript/script_messages.h"

CLoriantParser::CLoriantParser(ViewServices* owner) : CTesselParser(owner) { RegisterObjectKeywords(); }

CLoriantParser::~CLoriantParser() {
    // A started worker must be done with the tables before they go.
    WaitFinished();
    objectVariables.RemoveAll();
}

void CLoriantParser::ResetRun() {
    ResetBaseRunState();
    objectVariables.RemoveAll();
}

void CLoriantParser::ClearObjectVariables(int /*executeFlag*/) {
    ++objectNamesVersion;
    objectVariables.RemoveAll();
}

int CLoriantParser::ExecuteObjectKeywordStatement() {
    switch (objectKeywordId) {
        case netword::kPrint: return ExecuteOutputStatement(false);
        case netword::kPrintln: return ExecuteOutputStatement(true);
        case netword::kClearOutput: return ExecuteClearOutput();
        case netword::kFeedForwardType: return ExecuteNetworkDeclaration(kTypeFeedForwardNetwork);
        case netword::kLogicalType: return ExecuteNetworkDeclaration(kTypeLogicalNetwork);
        default: return FailWith("Unknown word in inherited class! (It could never happen.)");
    }
}

int CLoriantParser::ExecuteOutputStatement(bool lineBreakAfter) {
    Value value;
    if (!ReadExpression2(value)) return 0;
    if (!execute) return 1;
    PrintText(ValueToText(value, true), lineBreakAfter);
    return 1;
}

int CLoriantParser::OutputStatementOf(int keywordId) const {
    return keywordId == netword::kPrintln ? 1 : keywordId == netword::kPrint ? 0 : kNoOutput;
}

int CLoriantParser::ExecuteClearOutput() {
    if (execute) view->OutputText("", 0, 0, 0, 0);
    return 1;
}

int CLoriantParser::ReadMemberTarget() {
    const int first = objectVariableIndex;
    const int element = EvaluateArrayIndex(first);
    if (element == 0) return -1;
    const int record = element - 1;
    const int type = objectVariables[record].type;
    if (type != kTypeFeedForwardNetwork && type != kTypeLogicalNetwork) {
        FailWith(netmsg::kUnknownVariableType);
        return -1;
    }
    if (ReadToken() != kw::kDot) {
        FailExpected(kw::kDot);
        return -1;
    }
    return record;
}

int CLoriantParser::NotMemberError(int type) {
    const char* format = type == kTypeFeedForwardNetwork
                             ? " Syntax Error : \"%s\" is not a member of Feed Forward Neural Nework object."
                             : " Syntax Error : \"%s\" is not a member of Logical Neural Nework object.";
    const std::string text(format);
    const std::size_t at = text.find("%s");
    return FailWith(text.substr(0, at) + word + text.substr(at + 2));
}
