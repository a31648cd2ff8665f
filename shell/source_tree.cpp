#include "shell/source_tree.h"

#include <QTreeWidgetItem>
#include <cstdio>

#include "base/dyna_array.h"
#include "shell/left_view.h"
#include "shell/source_text.h"

namespace {

struct TreeItemRecord {
    int srcStart = 0;
    int srcLength = 0;
    const QTreeWidgetItem* item = nullptr;
};

const char* const kTypeNodeNames[] = {"Integers", "Floats", "Strings", "Files", "Matrices",
                                      "FF Neural Networks", "Logical Neural Networks"};

// Index into the type nodes of a category, or -1 when the category has none.
int TypeNodeIndex(int category) {
    if (category >= 1 && category <= 5) return category - 1;
    if (category == SourceTree::kFeedForwardNetworks) return 5;
    if (category == SourceTree::kLogicalNetworks) return 6;
    return -1;
}

}  // namespace

struct SourceTree::Records {
    CDynaArray<TreeItemRecord> table{500, "Tessel Tree Items Addresses"};
};

SourceTree::SourceTree() : records_(std::make_unique<Records>()) {}

SourceTree::~SourceTree() = default;

void SourceTree::Reset() {
    records_->table.RemoveAll();
    if (source_ != nullptr && tree_ != nullptr) tree_->DeleteItem(source_);
    source_ = variables_ = all_ = subroutines_ = nullptr;
    typeNodes_.fill(nullptr);
    if (tree_ == nullptr) return;
    tree_->viewport()->repaint();
    source_ = tree_->InsertItem(QStringLiteral("Source"), nullptr, false);
    variables_ = tree_->InsertItem(QStringLiteral("Variables"), source_, true);
    all_ = tree_->InsertItem(QStringLiteral("_All"), variables_, true);
    subroutines_ = tree_->InsertItem(QStringLiteral("Subroutins"), source_, true);
}

QTreeWidgetItem* SourceTree::ParentFor(int category) {
    if (category == kAll) return all_;
    if (category == kSubroutines) return subroutines_;
    const int node = TypeNodeIndex(category);
    if (node < 0 || tree_ == nullptr || variables_ == nullptr) return nullptr;
    QTreeWidgetItem*& field = typeNodes_[static_cast<std::size_t>(node)];
    if (field == nullptr) field = tree_->InsertItem(QString::fromLatin1(kTypeNodeNames[node]), variables_, true);
    return field;
}

QTreeWidgetItem* SourceTree::AddItem(const std::string& text, int category, QTreeWidgetItem* parent, int start,
                                     int length) {
    QTreeWidgetItem* under = parent != nullptr ? parent : ParentFor(category);
    QTreeWidgetItem* item = nullptr;
    if (under != nullptr && tree_ != nullptr) item = tree_->InsertItem(FromScriptText(text), under, true);
    records_->table.Add(TreeItemRecord{start, length, item});
    return item;
}

QTreeWidgetItem* SourceTree::AddVariable(const std::string& name, int category, int count, int start, int length) {
    const std::string label = count > 1 ? name + " []" : name;
    QTreeWidgetItem* typeEntry = AddItem(label, category, nullptr, start, length);
    QTreeWidgetItem* last = AddItem(label, kAll, nullptr, start, length);
    for (int i = 1; count > 1 && i <= count; ++i) {
        char index[16];
        std::snprintf(index, sizeof index, "[%d]", i);
        last = AddItem(name + index, kElement, typeEntry, start, length);
    }
    return last;
}

bool SourceTree::RangeOf(const QTreeWidgetItem* item, int& start, int& length) const {
    if (item == nullptr) return false;
    for (const TreeItemRecord& record : records_->table) {
        if (record.item != item) continue;
        start = record.srcStart;
        length = record.srcLength;
        return true;
    }
    return false;
}
