// The variables table's names, hashed: for each name the records declared with it, oldest first,
// so that the newest declaration is found without walking the table. A slot stays where it is
// until the slots grow; the generation changes whenever a slot is made or the slots move, so that
// a slot number remembered with a scanned word is known to be still good.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A version of the names: 64 bits, so that it never comes round again in a run (a loop that
// declares a variable changes it twice a pass; 32 bits would come round within minutes).
using NamesVersion = std::uint64_t;

class NameIndex {
public:
    struct Slot {
        bool used = false;
        std::uint64_t hash = 0;
        std::string name;
        std::vector<int> records;  // oldest first
    };

    static std::uint64_t Hash(const char* name, std::size_t length);
    // The name's slot number, or -1 when the name was never indexed.
    int Find(const char* name, std::size_t length) const;
    // The record appended under its name (its slot made if need be).
    void Add(const std::string& name, int record);
    // Forgets the name's records from newLength on.
    void DropFrom(const std::string& name, int newLength);
    // Every name keeps its slot (a pass declares the same names again); their records go.
    void ClearRecords();

    const Slot& At(int slot) const { return slots_[static_cast<std::size_t>(slot)]; }
    std::uint32_t Generation() const { return generation_; }
    // Changes whenever any name's records change: a record found for a name stays its newest
    // for as long as the version is the same.
    NamesVersion Version() const { return version_; }
    // The newest record of the slot's name, or -1 (a slot number of -1 included).
    int Newest(int slot) const {
        if (slot < 0) return -1;
        const std::vector<int>& records = At(slot).records;
        return records.empty() ? -1 : records.back();
    }

private:
    int Probe(const char* name, std::size_t length, std::uint64_t hash) const;  // slot or the free one
    void Grow();

    std::vector<Slot> slots_;  // open addressing, a power of two long
    std::size_t used_ = 0;
    std::uint32_t generation_ = 1;
    NamesVersion version_ = 1;
};
