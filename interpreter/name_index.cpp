#include "interpreter/name_index.h"

#include <algorithm>
#include <utility>

std::uint64_t NameIndex::Hash(const char* name, std::size_t length) {
    std::uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (std::size_t i = 0; i < length; ++i) {
        h ^= static_cast<unsigned char>(name[i]);
        h *= 1099511628211ull;
    }
    return h;
}

int NameIndex::Probe(const char* name, std::size_t length, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = static_cast<std::size_t>(hash) & mask;
    while (slots_[i].used) {
        const Slot& s = slots_[i];
        if (s.hash == hash && s.name.size() == length && std::equal(s.name.begin(), s.name.end(), name)) break;
        i = (i + 1) & mask;
    }
    return static_cast<int>(i);
}

int NameIndex::Find(const char* name, std::size_t length) const {
    if (slots_.empty()) return -1;
    const int i = Probe(name, length, Hash(name, length));
    return slots_[static_cast<std::size_t>(i)].used ? i : -1;
}

void NameIndex::Grow() {
    ++generation_;
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.resize(old.empty() ? 64 : old.size() * 2);
    const std::size_t mask = slots_.size() - 1;
    for (Slot& s : old) {
        if (!s.used) continue;
        std::size_t i = static_cast<std::size_t>(s.hash) & mask;
        while (slots_[i].used) i = (i + 1) & mask;
        slots_[i] = std::move(s);
    }
}

void NameIndex::Add(const std::string& name, int record) {
    ++version_;
    if ((used_ + 1) * 2 > slots_.size()) Grow();
    const std::uint64_t hash = Hash(name.data(), name.size());
    Slot& s = slots_[static_cast<std::size_t>(Probe(name.data(), name.size(), hash))];
    if (!s.used) {
        ++generation_;
        s.used = true;
        s.hash = hash;
        s.name = name;
        s.records.clear();
        ++used_;
    }
    s.records.push_back(record);
}

void NameIndex::DropFrom(const std::string& name, int newLength) {
    ++version_;
    const int i = Find(name.data(), name.size());
    if (i < 0) return;
    std::vector<int>& records = slots_[static_cast<std::size_t>(i)].records;
    while (!records.empty() && records.back() >= newLength) records.pop_back();
}

void NameIndex::ClearRecords() {
    ++version_;
    for (Slot& s : slots_) s.records.clear();
}
