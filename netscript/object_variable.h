// ObjectVariable: one element of a script's network variable. An array of n elements is n
// consecutive records with one name; the first record of a variable is i - index + 1 for any of
// its records i. The record owns its network: a copy gets a network of its own.
#pragma once

#include <memory>
#include <string>

#include "interpreter/value.h"

class CNeuralNetwork;
class CFeedForwardNeuralNetwork;
class LogicalNeuralNetwork;

struct ObjectVariable {
    std::string name;
    int type = kTypeNone;  // kTypeFeedForwardNetwork or kTypeLogicalNetwork
    int index = 1;         // element number, 1 .. count
    int count = 1;         // elements of the variable
    std::string scope;     // the scope path at the declaration (check pass)

    ObjectVariable();
    ~ObjectVariable();
    // A copy owns a copy of the source's network; a source without one gives a default network
    // of the record's type.
    ObjectVariable(const ObjectVariable& other);
    ObjectVariable& operator=(const ObjectVariable& other);
    ObjectVariable(ObjectVariable&& other) noexcept;
    ObjectVariable& operator=(ObjectVariable&& other) noexcept;

    // Gives the record a new default network of its type, named after the record.
    void CreateNetwork();
    // Drops the record's network (the record keeps its name and fields).
    void ReleaseNetwork();
    bool HasNetwork() const { return feedForward_ != nullptr || logical_ != nullptr; }

    // The network, or nullptr when the record has none of that kind.
    CFeedForwardNeuralNetwork* FeedForward() const { return feedForward_.get(); }
    LogicalNeuralNetwork* Logical() const { return logical_.get(); }

    struct FeedForwardDeleter {
        void operator()(CFeedForwardNeuralNetwork* network) const;
    };
    struct LogicalDeleter {
        void operator()(LogicalNeuralNetwork* network) const;
    };

private:
    void CopyNetworkFrom(const ObjectVariable& other);

    std::unique_ptr<CFeedForwardNeuralNetwork, FeedForwardDeleter> feedForward_;
    std::unique_ptr<LogicalNeuralNetwork, LogicalDeleter> logical_;
};

// The engine's networks as the records make, copy and destroy them (network_ownership.cpp).
// A source of nullptr gives a default network.
CFeedForwardNeuralNetwork* NewFeedForwardNetwork(const CFeedForwardNeuralNetwork* source);
LogicalNeuralNetwork* NewLogicalNetwork(const LogicalNeuralNetwork* source);
void SetNetworkName(CFeedForwardNeuralNetwork& network, const std::string& name);
void SetNetworkName(LogicalNeuralNetwork& network, const std::string& name);
