// Making, copying, naming and destroying the engine's networks for the records.
#include "netscript/object_variable.h"
#include "network/feed_forward_network.h"
#include "network/logical_network.h"

CFeedForwardNeuralNetwork* NewFeedForwardNetwork(const CFeedForwardNeuralNetwork* source) {
    return new CFeedForwardNeuralNetwork(source);
}

LogicalNeuralNetwork* NewLogicalNetwork(const LogicalNeuralNetwork* source) { return new LogicalNeuralNetwork(source); }

void SetNetworkName(CFeedForwardNeuralNetwork& network, const std::string& name) { network.SetName(name); }

void SetNetworkName(LogicalNeuralNetwork& network, const std::string& name) { network.SetName(name); }

void ObjectVariable::FeedForwardDeleter::operator()(CFeedForwardNeuralNetwork* network) const { delete network; }

void ObjectVariable::LogicalDeleter::operator()(LogicalNeuralNetwork* network) const { delete network; }
