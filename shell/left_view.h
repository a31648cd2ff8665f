// CLeftView: the tree left of a document's editor. "Help" lists the language's words by category
// with their help texts (built once, from a temporary interpreter); "Source" lists what the last
// check of the script declared, filled by the editor view. A right click on an entry offers
// "&Find in source", which selects the declaration in the editor.
#pragma once

#include <QCollator>
#include <QPersistentModelIndex>
#include <QTreeWidget>
#include <functional>

class CKestrumView;

class CLeftView : public QTreeWidget {
    Q_OBJECT
public:
    explicit CLeftView(QWidget* parent = nullptr);

    void SetEditorView(CKestrumView* view) { editorView_ = view; }
    CKestrumView* EditorView() const { return editorView_; }

    // Inserts a text-only item under parent (nullptr: the top level), after its last child or, when
    // sorted, at its alphabetical place among them (equal texts keep their order).
    QTreeWidgetItem* InsertItem(const QString& text, QTreeWidgetItem* parent, bool sorted);
    // Deletes the item with its descendants.
    void DeleteItem(QTreeWidgetItem* item);

    // The right click at a point of the viewport: the menu when the point is on an item's label.
    void OnRClick(const QPoint& viewportPoint);
    // The item whose label is at a point of the viewport, or nullptr (blank space, expand buttons).
    QTreeWidgetItem* ItemLabelAt(const QPoint& viewportPoint) const;
    // Shows the entry's menu at a global position and answers whether "&Find in source" was chosen.
    // Tests replace it; the default shows the real menu.
    std::function<bool(const QPoint& globalPosition)> chooseFindInSource;

    // The entry under the mouse, which is drawn underlined (hot tracking); invalid when none.
    QModelIndex HotIndex() const { return hot_; }

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

private:
    void BuildHelpBranch();
    bool ShowEntryMenu(const QPoint& globalPosition);
    void SetHot(const QModelIndex& index);

    CKestrumView* editorView_ = nullptr;
    QCollator collator_;
    QPersistentModelIndex hot_;
};
