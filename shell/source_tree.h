// The tree's "Source" branch as the last check of the script found it: subroutines under
// "Subroutins", variables under "Variables" (once in "_All", once under a node of their type,
// arrays with one child per element), and the editor range each entry came from.
// GUI thread only: the check pass fills it.
#pragma once

#include <array>
#include <memory>
#include <string>

class CLeftView;
class QTreeWidgetItem;

class SourceTree {
public:
    // Category codes of AddItem.
    enum Category : int {
        kAll = 0,
        kSubroutines = 6,
        kElement = 7,  // inserts nothing without a parent
        kFeedForwardNetworks = 9,
        kLogicalNetworks = 10,
    };

    SourceTree();
    ~SourceTree();
    SourceTree(const SourceTree&) = delete;
    SourceTree& operator=(const SourceTree&) = delete;

    void SetTree(CLeftView* tree) { tree_ = tree; }

    // Removes the old "Source" branch and makes a new, empty one.
    void Reset();
    // Inserts one entry (text in code page 1256) and records its editor range, whether or not
    // anything was inserted. Returns the entry, or nullptr.
    QTreeWidgetItem* AddItem(const std::string& text, int category, QTreeWidgetItem* parent, int start, int length);
    // A declared variable: its type entry, its "_All" entry and, for an array, an entry per
    // element under the type entry. Returns the last entry made.
    QTreeWidgetItem* AddVariable(const std::string& name, int category, int count, int start, int length);
    // The recorded editor range of the first record made for item; false when there is none.
    bool RangeOf(const QTreeWidgetItem* item, int& start, int& length) const;

private:
    struct Records;
    QTreeWidgetItem* ParentFor(int category);

    CLeftView* tree_ = nullptr;
    QTreeWidgetItem* source_ = nullptr;
    QTreeWidgetItem* variables_ = nullptr;
    QTreeWidgetItem* all_ = nullptr;
    QTreeWidgetItem* subroutines_ = nullptr;
    // "Integers" .. "Matrices" (categories 1 to 5), then the two network nodes (9 and 10).
    std::array<QTreeWidgetItem*, 7> typeNodes_{};
    std::unique_ptr<Records> records_;
};
