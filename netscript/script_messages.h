// The extension's own script error texts, byte for byte (those it shares with the interpreter are
// in interpreter/messages.h), and the formatting of those that carry numbers.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "interpreter/messages.h"

namespace netmsg {

inline constexpr const char* kNotValidObject = "Error: Not a valid Kestrum Object.";
inline constexpr const char* kUnknownVariableType = " Syntax Error : Unknown variable type.";
inline constexpr const char* kInputsNotKnown = " Runtime Error : Number of Inputs not known.";
inline constexpr const char* kOutputsNotKnown = " Runtime Error : Number of Outputs not known.";
inline constexpr const char* kAssignOrParenExpected = " Syntax Error :  \"=\"  or  \"(\"  expected.";
inline constexpr const char* kInvalidLayer = " Runtime Error : Invalid layer number.";
inline constexpr const char* kAccessingLayer = "%s Accessing layer %.0f.";
inline constexpr const char* kAccessingNeuron = "%s Accessing Neuron %.0f in layer %.0f.";
inline constexpr const char* kSettingWeight = "%s Setting Weight %.0f of Neuron %.0f in layer %.0f.";
inline constexpr const char* kAccessingWeight = "%s Accessing Weight %.0f of Neuron %.0f in layer %.0f.";
inline constexpr const char* kRuntimeErrorPrefix = " Runtime Error : ";
inline constexpr const char* kCommaOrParenExpected = " Syntax Error : \",\"  or  \")\" Expected.";
inline constexpr const char* kSettingInvalidInput = " Runtime Error : Setting invalid input number.";
inline constexpr const char* kInvalidOutputIndex = "Error: Invalid Output Index : (%.0f) .";
inline constexpr const char* kUnknownFunction = " Syntax Error : Unknown network function.";
inline constexpr const char* kOutputWhatToDo = " Syntax Error : Doesn't know what to do with \"Output\".";
inline constexpr const char* kNotLeftValue = " Syntax Error : Property cannot be left-value.";
inline constexpr const char* kNotRightValue = " Syntax Error : Property cannot be right-value.";
inline constexpr const char* kUnknownOutputProperty = " Syntax Error : Unknown property of \"Output\" of a neural network.";
inline constexpr const char* kTrainWhatToDo = " Syntax Error : Doesn't know what to do with \"Train\".";
inline constexpr const char* kUnknownTrainProperty = " Syntax Error : Unknown property of \"Train\" of a neural network.";
inline constexpr const char* kLearningConstantPositive = " Runtime Error : Learning Constant must be > 0.";
inline constexpr const char* kThresholdRange = " Runtime Error : Correct Output Threshold must be > 0 and < 1.";
inline constexpr const char* kDefinitionIncomplete = "Object's definition not complete to be created.";
inline constexpr const char* kInvalidClassesNum = " Runtime Error : Error: Invalid \"ClassesNum\".";
inline constexpr const char* kInvalidInputsPerRAM = " Runtime Error : Error: Invalid \"InputsPerRAM\".";
inline constexpr const char* kInvalidInputsNum = " Runtime Error : Error: Invalid \"InputsNum\".";
inline constexpr const char* kNotCreated =
    " Runtime Error : Error: The Logical Neural Network is not created with its present definition. (Use \"Create\")";

// printf-style formatting of a message with its text and numbers (each number an exact whole).
template <typename... Numbers>
std::string Format(const char* format, const char* text, Numbers... numbers) {
    const int length = std::snprintf(nullptr, 0, format, text, static_cast<double>(numbers)...);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::snprintf(buffer.data(), buffer.size(), format, text, static_cast<double>(numbers)...);
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

// The formats whose only argument is a number.
inline std::string FormatNumber(const char* format, double number) {
    const int length = std::snprintf(nullptr, 0, format, number);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::snprintf(buffer.data(), buffer.size(), format, number);
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

}  // namespace netmsg
