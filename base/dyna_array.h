// CDynaArray: the growable named table behind every list the program keeps (keywords, variables,
// subroutines, layers, neurons, connections, training pairs, drawn objects, chart points ...).
//
// It always keeps one slot spare, grows by its step when an Add finds count == capacity - 1, and
// after more than 10 growths raises the step by a quarter of the new capacity, so long tables
// regrow rarely. Every slot of the storage holds a constructed element, also those at and beyond
// count. Owners index elements directly (0 .. count - 1); the table checks no index.
//
// When memory runs out while growing, the table shows
//   ERROR : Not Enough Memory For " <name> ".
// in a message box and refuses the element, keeping everything it held.
#pragma once

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
        std::vector<T>().swap(slots_);
        capacity_ = 0;
        count_ = 0;
        growCount_ = 0;
    }

    T& operator[](int index) { return slots_[static_cast<std::size_t>(index)]; }
    const T& operator[](int index) const { return slots_[static_cast<std::size_t>(index)]; }
    T* GetData() { return slots_.empty() ? nullptr : slots_.data(); }
    const T* GetData() const { return slots_.empty() ? nullptr : slots_.data(); }
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
    // Replaces the storage by `slots` default elements holding the first count_ elements moved
    // (or copied) over. false, with nothing changed, when the storage cannot be had.
    bool Reallocate(std::int64_t slots);
    void RaiseStepAfterGrowth();

    int capacity_ = 0;
    int count_ = 0;
    int growBy_;
    int growCount_ = 0;
    std::string name_;
    std::vector<T> slots_;  // capacity_ slots, or capacity_ + 1 after a growing SetSize
};

template <typename T>
template <typename U>
int CDynaArray<T>::AddImpl(U&& element) {
    if (count_ < capacity_ - 1) {
        slots_[static_cast<std::size_t>(count_)] = std::forward<U>(element);
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
    slots_[static_cast<std::size_t>(count_)] = std::move(held);
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
    try {
        std::vector<T> fresh(static_cast<std::size_t>(slots));
        for (int i = 0; i < count_; ++i) {
            const auto at = static_cast<std::size_t>(i);
            if constexpr (std::is_nothrow_move_assignable_v<T>) {
                fresh[at] = std::move(slots_[at]);
            } else {
                fresh[at] = slots_[at];  // a throwing copy leaves the old storage whole
            }
        }
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
        count_ = n;
        return;
    }
    const std::int64_t capacity = static_cast<std::int64_t>(growBy_) + n;
    if (capacity < n || capacity >= INT_MAX || !Reallocate(capacity + 1)) return;
    capacity_ = static_cast<int>(capacity);
    count_ = n;
    growCount_ = 1;
}
