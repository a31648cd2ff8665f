#include "netscript/object_variable.h"

#include <utility>

ObjectVariable::ObjectVariable() = default;

ObjectVariable::~ObjectVariable() = default;

ObjectVariable::ObjectVariable(const ObjectVariable& other)
    : name(other.name), type(other.type), index(other.index), count(other.count), scope(other.scope) {
    CopyNetworkFrom(other);
}

ObjectVariable& ObjectVariable::operator=(const ObjectVariable& other) {
    if (this == &other) return *this;
    name = other.name;
    type = other.type;
    index = other.index;
    count = other.count;
    scope = other.scope;
    CopyNetworkFrom(other);
    return *this;
}

ObjectVariable::ObjectVariable(ObjectVariable&& other) noexcept = default;

ObjectVariable& ObjectVariable::operator=(ObjectVariable&& other) noexcept = default;

void ObjectVariable::CopyNetworkFrom(const ObjectVariable& other) {
    // Build the copy before dropping the old network, so a failed copy leaves this record whole.
    if (type == kTypeFeedForwardNetwork) {
        std::unique_ptr<CFeedForwardNeuralNetwork, FeedForwardDeleter> copy(NewFeedForwardNetwork(other.FeedForward()));
        feedForward_ = std::move(copy);
        logical_.reset();
    } else if (type == kTypeLogicalNetwork) {
        std::unique_ptr<LogicalNeuralNetwork, LogicalDeleter> copy(NewLogicalNetwork(other.Logical()));
        logical_ = std::move(copy);
        feedForward_.reset();
    } else {
        ReleaseNetwork();
    }
}

void ObjectVariable::CreateNetwork() {
    if (type == kTypeFeedForwardNetwork) {
        feedForward_.reset(NewFeedForwardNetwork(nullptr));
        logical_.reset();
        if (feedForward_) SetNetworkName(*feedForward_, name);
    } else if (type == kTypeLogicalNetwork) {
        logical_.reset(NewLogicalNetwork(nullptr));
        feedForward_.reset();
        if (logical_) SetNetworkName(*logical_, name);
    }
}

void ObjectVariable::ReleaseNetwork() {
    feedForward_.reset();
    logical_.reset();
}
