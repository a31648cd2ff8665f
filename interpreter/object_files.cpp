// SaveObject and LoadObject: a Matrix variable's value stored in a binary object file and read back,
// and the hand-over of network variables to the extension, which writes the same header followed
// by the network's body.
#include <string>

#include "interpreter/builtin_arguments.h"
#include "interpreter/keyword_codes.h"
#include "interpreter/object_file_codec.h"
#include "interpreter/tessel_parser.h"
#include "platform/atomic_file.h"
#include "platform/crt_file.h"

namespace {

using namespace builtin;

// The statement's variable: a network variable (handed to the extension, `record` -1) or a Matrix
// element of the interpreter's own (`element` names it). 0 after a reported error.
int ReadObjectStatementVariable(CTesselParser& p, ElementRef& element) {
    const int word = p.ReadToken();
    if (word == token::kObjectVariable) {
        element = {};
        return 1;
    }
    if (word != token::kVariable) return p.FailWith(message::kUnknownVariable);
    element = p.EvaluateArrayIndex();
    if (!element.Found()) return 0;
    if (p.variables[element.record].type != kTypeMatrix) return p.FailWith(message::kMatrixVariableExpected);
    return 1;
}

// `In` or `From`, then the file name expression as the value's text.
int ReadObjectFileName(CTesselParser& p, int keyword, std::string& name) {
    if (!p.Expect(keyword)) return 0;
    Value v;
    if (!p.ReadExpression2(v)) return 0;
    name = ValueToText(v, p.execute != 0);
    return 1;
}

}  // namespace

int CTesselParser::ExecuteSaveObject() {
    ElementRef record;
    if (!ReadObjectStatementVariable(*this, record)) return 0;
    if (!record.Found()) {
        if (SaveObjectStatement()) return 1;
        // An error the extension reported itself has set the run state; report only a silent failure.
        return runState != kRunning ? 0 : FailWith(message::kCannotOpenFile);
    }
    std::string name;
    if (!ReadObjectFileName(*this, kw::kIn, name)) return 0;
    if (!execute) return 1;
    crt::SaveResult outcome = crt::kSaved;
    return SaveObjectToFile(record, name, &outcome) ? 1 : FailWith(SaveFailureText(outcome));
}

int CTesselParser::ExecuteLoadObject() {
    ElementRef record;
    if (!ReadObjectStatementVariable(*this, record)) return 0;
    if (!record.Found()) {
        if (LoadObjectStatement()) return 1;
        if (runState != kRunning) return 0;
        const std::string reason = errorText.empty() ? std::string(message::kFileNotFound) : errorText;
        return FailWith(reason);
    }
    std::string name;
    if (!ReadObjectFileName(*this, kw::kFrom, name)) return 0;
    if (execute && !LoadObject(record, name)) return FailWith(message::kFileNotFound);
    return 1;
}

// 0 when the file cannot be created or written whole (the file that was there stays); outcome,
// when given, says which. A value without an object-file form leaves no file and is not a failure.
int CTesselParser::SaveObjectToFile(ElementRef element, const std::string& name, crt::SaveResult* outcome) {
    crt::SaveResult result = crt::kSaveCannotCreate;
    if (element.record >= 0 && element.record < variables.GetCount()) {
        const int type = variables[element.record].type;
        const Value::Payload& slot = ElementValue(element);
        result = !HasObjectFileForm(type) ? crt::kSaved
                                          : crt::SaveFileAtomically(name, "wb", [&](crt::CrtFile& file) {
                                                return WriteObjectValue(file, type, slot);
                                            });
    }
    if (outcome != nullptr) *outcome = result;
    return result == crt::kSaved ? 1 : 0;
}

// 0 only when the file cannot be opened. A file that is short, lacks the magic numbers, or holds
// another type or matrix size assigns nothing. The file itself is never changed.
int CTesselParser::LoadObject(ElementRef element, const std::string& name) {
    if (element.record < 0 || element.record >= variables.GetCount()) return 0;
    std::unique_ptr<crt::CrtFile> file = crt::CrtFile::Open(name, "rb");
    if (!file) return 0;
    ReadObjectValue(*file, variables[element.record].type, ElementValue(element));
    file->Close();
    return 1;
}
