// Making, copying, naming and destroying the engine's networks for the records.
// Placeholder until the engine's network classes are in: no network is made yet.
#include "netscript/object_variable.h"

CFeedForwardNeuralNetwork* NewFeedForwardNetwork(const CFeedForwardNeuralNetwork* /*source*/) { return nullptr; }
LogicalNeuralNetwork* NewLogicalNetwork(const LogicalNeuralNetwork* /*source*/) { return nullptr; }
void SetNetworkName(CFeedForwardNeuralNetwork& /*network*/, const std::string& /*name*/) {}
void SetNetworkName(LogicalNeuralNetwork& /*network*/, const std::string& /*name*/) {}
void ObjectVariable::FeedForwardDeleter::operator()(CFeedForwardNeuralNetwork* /*network*/) const {}
void ObjectVariable::LogicalDeleter::operator()(LogicalNeuralNetwork* /*network*/) const {}
