// Members of LogicalNeuralNetwork elements: the definition fields, Create, TrainOn (statements)
// and Recognize (a value). TrainOn and Recognize read an integer matrix operand of
// (inputs / InputsPerRAM) rows by InputsPerRAM columns and pass it on as one byte per element.
#include <cstdint>

#include "interpreter/keyword_codes.h"
#include "base/matrix.h"
#include "netscript/loriant_parser.h"
#include "netscript/script_messages.h"
#include "network/logical_network.h"

int CLoriantParser::ExecuteLogicalMember(LogicalNeuralNetwork* net, int member) {
    using namespace netword;
    int value = 0;
    switch (member) {
        case kInputsNumber:
        case kInputsPerRAM:
        case kClassesNum:
        case kThreshold: {
            if (!ReadAssignedInteger(value)) return 0;
            if (!execute) return 1;
            // Counts below 0 would ask the RAMs for absurd sizes; Threshold is no count.
            if (member != kThreshold && !FailPositive(value)) return 0;
            int& field = member == kInputsNumber   ? net->InputsNumber
                         : member == kInputsPerRAM ? net->InputsPerRAM
                         : member == kClassesNum   ? net->ClassesNum
                                                   : net->Threshold;
            field = value;
            return 1;
        }
        case kCreate:
            if (!ExpectEmptyArguments()) return 0;
            if (execute && !net->CellsFitInMemory()) return FailOutOfMemory(net->GetName());
            if (execute && !net->Create()) return FailWith(netmsg::kDefinitionIncomplete);
            return 1;
        case kTrainOn: {
            std::vector<unsigned char> bytes;
            int classNumber = 0;
            if (!ReadLogicalInput(net, bytes) || !Expect(kw::kComma) || !ReadIntegerExpression(classNumber) ||
                !Expect(kw::kCloseParen)) {
                return 0;
            }
            if (execute && !net->TrainOn(bytes, classNumber - 1)) return FailWith(netmsg::kInvalidClassesNum);
            return 1;
        }
        default: return NotMemberError(kTypeLogicalNetwork);
    }
}

int CLoriantParser::EvaluateLogicalMember(LogicalNeuralNetwork* net, int member, Value& result) {
    if (member != netword::kRecognize) return NotMemberError(kTypeLogicalNetwork);
    std::vector<unsigned char> bytes;
    if (!ReadLogicalInput(net, bytes) || !Expect(kw::kCloseParen)) return 0;
    result.SetInteger(execute ? net->Recognize(bytes) : 0);
    return 1;
}

int CLoriantParser::CheckLogicalBuilt(const LogicalNeuralNetwork* net) {
    // Create built the network from the present counts when it has one discriminator per class
    // whose RAMs group the inputs as InputsNumber and InputsPerRAM now say.
    const std::uint32_t perRam = static_cast<std::uint32_t>(net->InputsPerRAM);
    const std::uint32_t groups = static_cast<std::uint32_t>(net->InputsNumber) / perRam;
    const int rams = groups == 0 ? 1 : static_cast<int>(groups);
    const bool built = net->ClassesNum > 0 && net->GetDiscriminatorCount() == net->ClassesNum &&
                       net->GetDiscriminator(0).GetRamCount() == rams &&
                       net->GetDiscriminator(0).GetRam(0).GetBits() == net->InputsPerRAM;
    return built ? 1 : FailWith(netmsg::kNotCreated);
}

int CLoriantParser::ReadLogicalInput(LogicalNeuralNetwork* net, std::vector<unsigned char>& bytes) {
    if (!Expect(kw::kOpenParen)) return 0;
    int rows = 1, cols = 1;
    if (execute) {
        if (net->InputsPerRAM < 1) return FailWith(netmsg::kInvalidInputsPerRAM);
        if (net->InputsNumber == 0) return FailWith(netmsg::kInvalidInputsNum);
        if (!CheckLogicalBuilt(net)) return 0;
        cols = net->InputsPerRAM;
        rows = static_cast<int>(static_cast<std::uint32_t>(net->InputsNumber) / static_cast<std::uint32_t>(cols));
    }
    CMatrix work(rows, cols, execute ? net->GetName() : std::string());
    if (execute && !work.IsAllocated()) return FailOutOfMemory(net->GetName());
    if (!ReadMatrixOperand(work, 0, rows, 0, cols, true)) return 0;
    if (!execute) return 1;
    bytes.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols), 0);
    for (int r = 0; r < rows; ++r) {
        const double* row = work.Row(r);
        for (int c = 0; c < cols; ++c) {
            bytes[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) + static_cast<std::size_t>(c)] =
                row[c] != 0.0 ? 1 : 0;
        }
    }
    return 1;
}
