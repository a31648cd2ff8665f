// LogicalNeuralNetwork: the weightless (RAM-based) classifier behind the script type of the same
// name. One Discriminator per class; a discriminator cuts the binary input vector into groups of
// InputsPerRAM inputs, each group addressing the cells of its own RAM (2^InputsPerRAM one-byte
// cells, the group's first byte the most significant address bit). Training a class sets the
// addressed cell of each of its RAMs; recognising asks every class how many of its RAMs have the
// addressed cell set and answers with the (1-based) class that scores highest.
//
// Input vectors are bytes, any non-zero byte a 1. Bytes that a RAM would read beyond the end of
// the given vector count as 0, so no input is ever read out of bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

// Lets tests make the cell allocation of RAMs fail in the calling thread (argument: cells wanted).
struct RamAllocation {
    static inline thread_local std::function<bool(std::uint32_t cells)> failHook;
};

class RAM {
public:
    RAM() = default;
    // Frees the old cells, then holds 2^bits cells (32-bit arithmetic: none from 32 bits on;
    // none for bits below 1), all 0. When the cells cannot be had it shows the RAM message and
    // becomes empty (bits 0, no cells).
    void Allocate(int bits);
    // The cell at address i (Discriminator::GroupAddress of a group); 0 outside the cells.
    std::uint8_t GetAt(std::uint32_t i) const { return i < size_ ? cells_.get()[i] : 0; }
    void SetAt(std::uint32_t i) {
        if (i < size_) cells_.get()[i] = 1;
    }
    void CopyFrom(const RAM& other);

    int GetBits() const { return bits_; }
    std::uint32_t GetSize() const { return size_; }

private:
    struct FreeCells {
        void operator()(std::uint8_t* cells) const;
    };

    int bits_ = 0;
    std::unique_ptr<std::uint8_t, FreeCells> cells_;
    std::uint32_t size_ = 0;
};

class Discriminator {
public:
    // ramCount = inputs / inputsPerRAM (at least 1); every RAM gets inputsPerRAM address bits and
    // starts empty. threshold 0 becomes ramCount; it is kept for copies only.
    void Init(std::uint32_t inputs, std::uint32_t inputsPerRAM, int threshold);
    // Sets, in each RAM, the cell its group of the input addresses.
    void Train(std::span<const std::uint8_t> input);
    // How many RAMs have the cell that their group addresses set (0 .. ramCount).
    std::uint32_t Response(std::span<const std::uint8_t> input) const;
    void CopyFrom(const Discriminator& other);

    // BitsToInteger(group, width), without a branch per byte (recognition's hot loop): the first
    // byte is the most significant bit, and bytes before the last 32 count for nothing.
    static std::uint32_t GroupAddress(const std::uint8_t* group, std::size_t width);
    // The cell address of every RAM for the input, in RAM order.
    void Addresses(std::span<const std::uint8_t> input, std::vector<std::uint32_t>& addresses) const;
    std::uint32_t ResponseAt(const std::vector<std::uint32_t>& addresses) const;
    bool SameGrouping(const Discriminator& other) const {
        return inputsPerRAM_ == other.inputsPerRAM_ && rams_.size() == other.rams_.size();
    }
    int GetRamCount() const { return static_cast<int>(rams_.size()); }
    const RAM& GetRam(int r) const { return rams_[static_cast<std::size_t>(r)]; }
    int GetThreshold() const { return threshold_; }
    std::size_t CellBytes() const;

private:
    std::vector<RAM> rams_;
    std::uint32_t inputsPerRAM_ = 0;
    std::uint32_t inputs_ = 0;
    int threshold_ = 0;
};

class LogicalNeuralNetwork {
public:
    LogicalNeuralNetwork() = default;
    // The four counts and the name of the source, and, when it has discriminators, its own
    // discriminators of the same sizes with the same cells. nullptr: the default network.
    explicit LogicalNeuralNetwork(const LogicalNeuralNetwork* source);
    LogicalNeuralNetwork(const LogicalNeuralNetwork& source) : LogicalNeuralNetwork(&source) {}
    LogicalNeuralNetwork& operator=(const LogicalNeuralNetwork&) = delete;

    // Builds the discriminators from the four counts, every cell 0. 0 (nothing changes) when
    // InputsNumber or ClassesNum is not above 0 or InputsPerRAM is below 1.
    int Create();
    // The cells Create would make fit in the memory the process can have: a training may write
    // every one of them (so the lazily given pages of a huge network are no free lunch).
    bool CellsFitInMemory() const;
    void Allocate(int inputs, int inputsPerRAM, int classes, int threshold);
    // Trains the discriminator of class classIndex (0-based). 0 when there is no such class.
    int TrainOn(std::span<const std::uint8_t> input, int classIndex);
    // The 1-based class whose discriminator responds most (ties: the lowest); 0 when none
    // responds or there is no class.
    int Recognize(std::span<const std::uint8_t> input);

    int GetDiscriminatorCount() const { return static_cast<int>(discriminators_.size()); }
    const Discriminator& GetDiscriminator(int c) const { return discriminators_[static_cast<std::size_t>(c)]; }
    const std::string& GetName() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    // Bytes of RAM cells held.
    std::size_t CellBytes() const;

    int ClassesNum = 0;
    int InputsNumber = 0;  // the script member InputsNumber
    int Threshold = 0;
    int InputsPerRAM = 0;

private:
    // Classes that both the counts and the built discriminators have.
    int UsableClasses() const;

    std::vector<Discriminator> discriminators_;
    std::string name_ = "Noname LogicalNeuralNetwork";
    std::vector<std::uint32_t> addresses_;  // working room of Recognize
};
