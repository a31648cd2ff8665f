// CDynaArray: the growable named table behind every list the program keeps (keywords, variables,
// subroutines, layers, neurons, connections, training pairs, drawn objects, chart points ...).
//
// It always keeps one slot spare, grows by its step when an Add finds count == capacity - 1, and
// after more than 10 growths raises the step by a quarter of the new capacity, so long tables
// regrow rarely. Owners index elements directly (0 .. count - 1); the table checks no index.
//
// Underneath, slots are constructed when first used and the storage grows fourfold when it has
// to move, so a table filled by many small growths moves its elements a few times and never
// builds slots it does not use. A slot between count and the capacity that no growth has passed
// since it was used keeps its element; a growth forgets those, as a move to fresh storage did.
//
// When memory runs out while growing, the table shows
//   ERROR : Not Enough Memory For " <name> ".
// in a message box and refuses the element, keeping everything it held.
#pragma once

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/desktop.h"
#include "platform/memory_budget.h"

// The names tables are given, in their list order; a name only shows in the out-of-memory
// message. The first five, "Loriant Variables" and "Chart Viewer Objects" name no table.
inline constexpr const char* kDynaArrayNames[21] = {
    "ENERIC_BYTE_DYNA_ARRAY", "GENERIC_INTEGER_DYNA_ARRAY", "GENERIC_LONG_DYNA_ARRAY",
    "GENERIC_FLOAT_DYNA_ARRAY", "GENERIC_DOUBLE_DYNA_ARRAY", "Tessel Subroutins",
    "Tessel Add To Tree Pos", "Tessel Variables", "Tessel Tokens", "Tessel Help Tree Items",
    "Tessel Tree Items Addresses", "Loriant Tokens", "Loriant Variables", "Neurons", "Connections",
    "NN Layers", "NN Structure View Objects", "NN Training Pairs", "Graph Viewer Points",
    "Chart Viewer Points", "Chart Viewer Objects",
};

// Lets tests simulate exhausted memory: when set, it is asked before each storage allocation of a
// table in the calling thread (with the number of slots wanted) and a true answer makes that
// allocation fail.
struct DynaArrayAllocation {
    static inline thread_local std::function<bool(std::size_t wanted)> failHook;

    static bool ShouldFail(std::size_t wanted) { return failHook && failHook(wanted); }
};

inline std::string DynaArrayOutOfMemoryText(const std::string& name) {
    return "ERROR : Not Enough Memory For \" " + name + " \".";
}

inline void ShowDynaArrayOutOfMemory(const std::string& name) {
    desktop::Current().MessageBox(nullptr, DynaArrayOutOfMemoryText(name), "Kestrum", desktop::kOk);
}

template <typename T>
class CDynaArray {
public:
    CDynaArray(int growBy, std::string name) : growBy_(growBy), name_(std::move(name)) {}

    // Appends a copy of the element. 1 on success, 0 when memory ran out (nothing changed).
    int Add(const T& element) { return AddImpl(element); }
    int Add(T&& element) { return AddImpl(std::move(element)); }

    // Makes n the element count; grows (to growBy + n slots, plus one) when n is not below the
    // capacity. Elements kept keep their slots; new slots hold default elements. When the larger
    // storage cannot be had the table stays exactly as it was.
    void SetSize(int n);

    // Destroys every element and frees the storage. growBy and the name stay.
    void RemoveAll() {
        Storage().swap(slots_);
        Empty();
    }
    // RemoveAll, keeping the storage for a table about to be filled again as large.
    void Empty() {
        slots_.clear();
        capacity_ = 0;
        count_ = 0;
        growCount_ = 0;
    }

    T& operator[](int index) { return slots_[static_cast<std::size_t>(index)]; }
    const T& operator[](int index) const { return slots_[static_cast<std::size_t>(index)]; }
    T* GetData() { return slots_.empty() ? nullptr : slots_.data(); }
    const T* GetData() const { return slots_.empty() ? nullptr : slots_.data(); }
    // The storage, without the test for none (for callers that index only elements they know exist).
    const T* Data() const { return slots_.data(); }
    // The elements in use, for range-for.
    T* begin() { return GetData(); }
    T* end() { return GetData() + count_; }
    const T* begin() const { return GetData(); }
    const T* end() const { return GetData() + count_; }

    int GetCount() const { return count_; }
    int GetCapacity() const { return capacity_; }
    int GetGrowBy() const { return growBy_; }
    void SetGrowBy(int growBy) { growBy_ = growBy; }
    int GetGrowCount() const { return growCount_; }
    const std::string& GetName() const { return name_; }

private:
    template <typename U>
    int AddImpl(U&& element);
    // Makes room for `slots` slots holding the first count_ elements (moved, or copied, when the
    // storage must move). false, with nothing changed, when the storage cannot be had.
    bool Reallocate(std::int64_t slots);
    // Moves the elements to fresh storage with room for `room`; false, with nothing changed, when it cannot be had.
    bool MoveTo(std::size_t room);
    template <typename U>
    void Put(U&& element) {
        const auto at = static_cast<std::size_t>(count_);
        if (at < slots_.size())
            slots_[at] = std::forward<U>(element);
        else
            slots_.push_back(std::forward<U>(element));  // within the room a growth made: no allocation
    }
    void RaiseStepAfterGrowth();

    int capacity_ = 0;
    int count_ = 0;
    int growBy_;
    int growCount_ = 0;
    std::string name_;
    using Storage = std::vector<T>;
    Storage slots_;  // the slots used so far, with room for capacity_ + 1
};

template <typename T>
template <typename U>
int CDynaArray<T>::AddImpl(U&& element) {
    if (count_ < capacity_ - 1) {
        Put(std::forward<U>(element));
        ++count_;
        return 1;
    }
    // The element may live in this table's own storage, which the growth replaces: hold it first.
    T held;
    try {
        held = std::forward<U>(element);
    } catch (const std::bad_alloc&) {
        ShowDynaArrayOutOfMemory(name_);
        return 0;
    }
    // A step below 1 would add no room; the table still grows by one slot then.
    const std::int64_t step = growBy_ > 0 ? growBy_ : 1;
    if (!Reallocate(static_cast<std::int64_t>(capacity_) + step)) {
        ShowDynaArrayOutOfMemory(name_);
        return 0;
    }
    capacity_ = static_cast<int>(capacity_ + step);
    Put(std::move(held));
    RaiseStepAfterGrowth();
    ++count_;
    return 1;
}

template <typename T>
void CDynaArray<T>::RaiseStepAfterGrowth() {
    ++growCount_;
    if (growCount_ > 10) {
        const std::int64_t raised = static_cast<std::int64_t>(growBy_) + capacity_ / 4;
        growBy_ = raised > INT_MAX / 2 ? INT_MAX / 2 : static_cast<int>(raised);
    }
}

template <typename T>
bool CDynaArray<T>::Reallocate(std::int64_t slots) {
    if (slots > INT_MAX || DynaArrayAllocation::ShouldFail(static_cast<std::size_t>(slots))) return false;
    // The old and the new storage live side by side while the elements move.
    if (!crt::FitsInMemory(static_cast<std::uint64_t>(slots) + static_cast<std::uint64_t>(capacity_), sizeof(T)))
        return false;
    // Room for one more than asked: a growing SetSize keeps a slot beyond its capacity.
    const auto wanted = static_cast<std::size_t>(slots) + 1;
    if (wanted <= slots_.capacity()) {
        slots_.resize(std::min(slots_.size(), static_cast<std::size_t>(count_)));
        return true;
    }
    // Room for four times as many, as long as the old storage and the new one fit together: only
    // the slots used are ever touched.
    const std::size_t larger = std::max(wanted, 4 * slots_.capacity());
    const bool fits = larger <= INT_MAX && crt::FitsInMemory(static_cast<std::uint64_t>(larger) + slots_.capacity(), sizeof(T));
    return (fits && MoveTo(larger)) || MoveTo(wanted);
}

template <typename T>
bool CDynaArray<T>::MoveTo(std::size_t room) {
    try {
        Storage fresh;
        fresh.reserve(room);
        // A throwing copy leaves the old storage whole.
        for (int i = 0; i < count_; ++i) fresh.push_back(std::move_if_noexcept(slots_[static_cast<std::size_t>(i)]));
        slots_.swap(fresh);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

template <typename T>
void CDynaArray<T>::SetSize(int n) {
    if (n < 0) n = 0;  // a negative count would index before the storage
    if (n < capacity_) {
        // Slots not used yet are built now (default ones), within the room the last growth made.
        if (static_cast<std::size_t>(n) > slots_.size()) slots_.resize(static_cast<std::size_t>(n));
        count_ = n;
        return;
    }
    const std::int64_t capacity = static_cast<std::int64_t>(growBy_) + n;
    if (capacity < n || capacity >= INT_MAX || !Reallocate(capacity + 1)) return;
    capacity_ = static_cast<int>(capacity);
    slots_.resize(static_cast<std::size_t>(n));  // new elements are default ones
    count_ = n;
    growCount_ = 1;
}
