// SaveObject and LoadObject of network variables. A feed-forward network is stored as the object
// header (type 7) and the network-file body, byte for byte a ".qNN" network file; a logical
// network has no stored form and leaves an empty file.
#include <memory>

#include "interpreter/keyword_codes.h"
#include "base/object_file_header.h"
#include "netscript/loriant_parser.h"
#include "netscript/script_messages.h"
#include "network/feed_forward_network.h"
#include "platform/atomic_file.h"
#include "platform/crt_file.h"

int CLoriantParser::SaveObjectStatement() { return ExecuteObjectFileStatement(kw::kIn, true); }

int CLoriantParser::LoadObjectStatement() { return ExecuteObjectFileStatement(kw::kFrom, false); }

int CLoriantParser::ExecuteObjectFileStatement(int connectorCode, bool save) {
    const int record = EvaluateArrayIndex(objectVariableIndex) - 1;
    if (record < 0) return 0;
    if (!Expect(connectorCode)) return 0;
    std::string fileName;
    if (!ReadTextArgument(fileName)) return 0;
    if (!execute) return 1;
    return save ? SaveObjectToFile(record, fileName) : LoadObjectFromFile(record, fileName);
}

// 0 with the run state untouched when the file cannot be created: the SaveObject statement then
// reports that it cannot open the file. A network that cannot be written whole leaves the file
// that was there and is reported.
int CLoriantParser::SaveObjectToFile(int record, const std::string& name) {
    const ObjectVariable& variable = objectVariables[record];
    const crt::SaveResult saved = crt::SaveFileAtomically(name, "wb", [&](crt::CrtFile& file) {
        if (variable.type != kTypeFeedForwardNetwork || variable.FeedForward() == nullptr) return true;
        return variable.FeedForward()->WriteToFile(file) != 0;
    });
    if (saved == crt::kSaveCannotCreate) return 0;
    return saved == crt::kSaved ? 1 : FailWith(message::kCannotWriteFile);
}

// 1 when the error text is empty at the end; otherwise the text says why (the LoadObject
// statement reports it).
int CLoriantParser::LoadObjectFromFile(int record, const std::string& name) {
    std::unique_ptr<crt::CrtFile> file = crt::CrtFile::Open(name, "rb");
    if (!file) {
        errorText = message::kFileNotFound;
        return 0;
    }
    const ObjectVariable& variable = objectVariables[record];
    const std::int32_t type = ReadObjectHeader(*file);
    if (type == ObjectFileHeader::kInvalidType) {
        errorText = netmsg::kNotValidObject;
    } else if (type == variable.type && type == kTypeFeedForwardNetwork && variable.FeedForward() != nullptr) {
        std::string error;
        if (!variable.FeedForward()->ReadFromFile(*file, error)) errorText = error;
    }
    file->Close();
    return errorText.empty() ? 1 : 0;
}
