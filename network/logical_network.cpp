#include "network/logical_network.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "network/model_messages.h"
#include "platform/memory_budget.h"

namespace {

void ReportRamMemory(std::uint32_t cells) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Error: Could not allocate memory for an object of type RAM.\n\n         Needing: %.1fMb.\n",
                  static_cast<double>(static_cast<float>(cells) / 1048576.0f));
    ShowEngineMessage(text);
}

// Makes the table hold `count` default entries, the old ones dropped; when memory runs out the
// table is left empty, its storage freed, and the RAM message names `cells`.
template <class T>
bool ResizeOrReport(std::vector<T>& table, std::size_t count, std::uint32_t cells) {
    table.clear();
    try {
        table.resize(count);
        return true;
    } catch (const std::exception&) {
        std::vector<T>().swap(table);
        ReportRamMemory(cells);
        return false;
    }
}

}  // namespace

// --- RAM ---

void RAM::FreeCells::operator()(std::uint8_t* cells) const { std::free(cells); }

void RAM::Allocate(int bits) {
    cells_.reset();
    bits_ = bits;
    size_ = 0;
    if (bits < 1 || bits >= 32) return;  // 2^bits in 32 bits is 0 from 32 bits on
    const std::uint32_t size = std::uint32_t{1} << bits;
    // calloc: untouched cells cost no memory until a training writes them.
    void* cells = (RamAllocation::failHook && RamAllocation::failHook(size)) ? nullptr : std::calloc(size, 1);
    if (cells == nullptr) {
        ReportRamMemory(size);
        bits_ = 0;
        return;
    }
    cells_.reset(static_cast<std::uint8_t*>(cells));
    size_ = size;
}

void RAM::CopyFrom(const RAM& other) {
    Allocate(other.bits_);
    for (std::uint32_t i = 0; i < size_; ++i)
        if (other.GetAt(i) != 0) SetAt(i);
}

// --- Discriminator ---

void Discriminator::Init(std::uint32_t inputs, std::uint32_t inputsPerRAM, int threshold) {
    inputs_ = inputs;
    inputsPerRAM_ = inputsPerRAM;
    std::uint32_t count = inputsPerRAM == 0 ? 0 : inputs / inputsPerRAM;
    if (count == 0) count = 1;
    threshold_ = threshold == 0 ? static_cast<int>(count) : threshold;
    if (!ResizeOrReport(rams_, count, inputsPerRAM < 32 ? std::uint32_t{1} << inputsPerRAM : 0)) return;
    const int bits = inputsPerRAM > 0x7FFFFFFFu ? 0 : static_cast<int>(inputsPerRAM);
    for (RAM& ram : rams_) ram.Allocate(bits);
}

std::uint32_t Discriminator::GroupAddress(const std::uint8_t* group, std::size_t width) {
    std::uint32_t address = 0;
    for (std::size_t i = width > 32 ? width - 32 : 0; i < width; ++i) address = (address << 1) | (group[i] != 0 ? 1u : 0u);
    return address;
}

void Discriminator::Addresses(std::span<const std::uint8_t> input, std::vector<std::uint32_t>& addresses) const {
    const std::size_t width = inputsPerRAM_;
    addresses.resize(rams_.size());
    for (std::size_t r = 0; r < rams_.size(); ++r) {
        const std::size_t start = r * width;
        if (start + width <= input.size()) {
            addresses[r] = GroupAddress(input.data() + start, width);
        } else {
            // A group that runs past the input: the missing bytes are 0.
            std::vector<std::uint8_t> group(width, 0);
            if (start < input.size()) std::copy(input.begin() + static_cast<std::ptrdiff_t>(start), input.end(), group.begin());
            addresses[r] = GroupAddress(group.data(), width);
        }
    }
}

std::uint32_t Discriminator::ResponseAt(const std::vector<std::uint32_t>& addresses) const {
    std::uint32_t response = 0;
    for (std::size_t r = 0; r < rams_.size(); ++r) response += rams_[r].GetAt(addresses[r]);
    return response;
}

void Discriminator::Train(std::span<const std::uint8_t> input) {
    if (inputsPerRAM_ < 1 || inputs_ == 0 || rams_.empty()) return;
    std::vector<std::uint32_t> addresses;
    Addresses(input, addresses);
    for (std::size_t r = 0; r < rams_.size(); ++r) rams_[r].SetAt(addresses[r]);
}

std::uint32_t Discriminator::Response(std::span<const std::uint8_t> input) const {
    std::vector<std::uint32_t> addresses;
    Addresses(input, addresses);
    return ResponseAt(addresses);
}

void Discriminator::CopyFrom(const Discriminator& other) {
    Init(other.inputs_, other.inputsPerRAM_, other.threshold_);
    const std::size_t count = std::min(rams_.size(), other.rams_.size());
    for (std::size_t r = 0; r < count; ++r) rams_[r].CopyFrom(other.rams_[r]);
}

std::size_t Discriminator::CellBytes() const {
    std::size_t bytes = 0;
    for (const RAM& ram : rams_) bytes += ram.GetSize();
    return bytes;
}

// --- LogicalNeuralNetwork ---

LogicalNeuralNetwork::LogicalNeuralNetwork(const LogicalNeuralNetwork* source) {
    if (source == nullptr) return;
    ClassesNum = source->ClassesNum;
    InputsNumber = source->InputsNumber;
    Threshold = source->Threshold;
    InputsPerRAM = source->InputsPerRAM;
    name_ = source->name_;
    if (!ResizeOrReport(discriminators_, source->discriminators_.size(), 0)) return;
    for (std::size_t c = 0; c < discriminators_.size(); ++c) discriminators_[c].CopyFrom(source->discriminators_[c]);
}

int LogicalNeuralNetwork::Create() {
    if (InputsNumber <= 0 || ClassesNum <= 0 || InputsPerRAM < 1) return 0;
    Allocate(InputsNumber, InputsPerRAM, ClassesNum, Threshold);
    return 1;
}

bool LogicalNeuralNetwork::CellsFitInMemory() const {
    if (InputsNumber <= 0 || ClassesNum <= 0 || InputsPerRAM < 1 || InputsPerRAM >= 32) return true;
    const std::uint64_t rams = std::max(InputsNumber / InputsPerRAM, 1);
    return crt::FitsInMemory(static_cast<std::uint64_t>(ClassesNum) * rams, std::uint64_t{1} << InputsPerRAM);
}

void LogicalNeuralNetwork::Allocate(int inputs, int inputsPerRAM, int classes, int threshold) {
    InputsNumber = inputs;
    InputsPerRAM = inputsPerRAM;
    ClassesNum = classes;
    Threshold = threshold;
    if (!ResizeOrReport(discriminators_, static_cast<std::size_t>(std::max(classes, 0)), 0)) return;
    for (Discriminator& d : discriminators_)
        d.Init(static_cast<std::uint32_t>(inputs), static_cast<std::uint32_t>(inputsPerRAM), threshold);
}

int LogicalNeuralNetwork::UsableClasses() const {
    return std::min(std::max(ClassesNum, 0), GetDiscriminatorCount());
}

int LogicalNeuralNetwork::TrainOn(std::span<const std::uint8_t> input, int classIndex) {
    if (classIndex < 0 || classIndex >= UsableClasses()) return 0;
    discriminators_[static_cast<std::size_t>(classIndex)].Train(input);
    return 1;
}

int LogicalNeuralNetwork::Recognize(std::span<const std::uint8_t> input) {
    const int classes = UsableClasses();
    if (classes == 0) return 0;
    // Every discriminator that Create made groups the input alike: the addresses are worked out once.
    const Discriminator& first = discriminators_.front();
    first.Addresses(input, addresses_);
    int best = 0;
    std::uint32_t bestResponse = 0;
    for (int c = 0; c < classes; ++c) {
        const Discriminator& d = discriminators_[static_cast<std::size_t>(c)];
        const std::uint32_t response = d.SameGrouping(first) ? d.ResponseAt(addresses_) : d.Response(input);
        if (response > bestResponse) {
            bestResponse = response;
            best = c + 1;
        }
    }
    return best;
}

std::size_t LogicalNeuralNetwork::CellBytes() const {
    std::size_t bytes = 0;
    for (const Discriminator& d : discriminators_) bytes += d.CellBytes();
    return bytes;
}
