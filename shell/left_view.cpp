#include "shell/left_view.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

#include "netscript/script_interpreter.h"
#include "shell/kestrum_view.h"
#include "shell/source_text.h"
#include "view/null_view.h"

namespace {

const QColor kTextColour(0, 0, 235);
const QColor kBackground(237, 237, 237);
const QColor kLineColour(128, 128, 128);
// Half the side of the square the expand button takes: the lines stop at it.
constexpr int kButtonHalf = 5;
// The label's hit area reaches a little past its text, as a tree control's label rectangle does.
constexpr int kLabelPadding = 6;

// The help branch's one service of a tree: inserting a text.
class HelpTarget : public HelpTreeTarget {
public:
    explicit HelpTarget(CLeftView& tree) : tree_(tree) {}
    TreeItem Insert(const std::string& text, TreeItem parent, bool sorted) override {
        return tree_.InsertItem(FromScriptText(text), static_cast<QTreeWidgetItem*>(parent), sorted);
    }

private:
    CLeftView& tree_;
};

// Draws the hot entry's label underlined and nothing else of the hover: no hover background.
class HotTrackingDelegate : public QStyledItemDelegate {
public:
    explicit HotTrackingDelegate(CLeftView& tree) : QStyledItemDelegate(&tree), tree_(tree) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_MouseOver;
        if (index == tree_.HotIndex()) option->font.setUnderline(true);
    }

private:
    CLeftView& tree_;
};

}  // namespace

CLeftView::CLeftView(QWidget* parent) : QTreeWidget(parent), collator_(QLocale(QLocale::English)) {
    // One order for every node, whatever the user's locale: case-insensitive, with punctuation
    // before digits and digits before letters ("_All" first, "[1]" before "[10]").
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setMouseTracking(true);  // the entry under the mouse is hot
    setItemDelegate(new HotTrackingDelegate(*this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setUniformRowHeights(true);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    QPalette colours = palette();
    colours.setColor(QPalette::Text, kTextColour);
    colours.setColor(QPalette::Base, kBackground);
    setPalette(colours);
    chooseFindInSource = [this](const QPoint& at) { return ShowEntryMenu(at); };
    BuildHelpBranch();
}

void CLeftView::BuildHelpBranch() {
    // A temporary interpreter lends its keyword catalogue; it needs an owner, not this document's.
    NullView owner;
    ScriptInterpreter parser(&owner);
    HelpTarget target(*this);
    parser.BuildHelpTree(target);
}

QTreeWidgetItem* CLeftView::InsertItem(const QString& text, QTreeWidgetItem* parent, bool sorted) {
    auto* item = new QTreeWidgetItem(QStringList(text));
    const int count = parent ? parent->childCount() : topLevelItemCount();
    int at = count;
    if (sorted) {
        // After the last sibling that does not sort behind the text (siblings inserted sorted are in order).
        int low = 0;
        while (low < at) {
            const int middle = low + (at - low) / 2;
            const QTreeWidgetItem* sibling = parent ? parent->child(middle) : topLevelItem(middle);
            if (collator_.compare(sibling->text(0), text) > 0)
                at = middle;
            else
                low = middle + 1;
        }
    }
    if (parent)
        parent->insertChild(at, item);
    else
        insertTopLevelItem(at, item);
    return item;
}

void CLeftView::DeleteItem(QTreeWidgetItem* item) { delete item; }

QTreeWidgetItem* CLeftView::ItemLabelAt(const QPoint& viewportPoint) const {
    QTreeWidgetItem* item = itemAt(viewportPoint);
    if (item == nullptr) return nullptr;
    QRect label = visualItemRect(item);
    label.setWidth(fontMetrics().horizontalAdvance(item->text(0)) + kLabelPadding);
    return label.contains(viewportPoint) ? item : nullptr;
}

void CLeftView::OnRClick(const QPoint& viewportPoint) {
    QTreeWidgetItem* item = ItemLabelAt(viewportPoint);
    if (item == nullptr) return;
    if (chooseFindInSource(viewport()->mapToGlobal(viewportPoint)) && editorView_)
        editorView_->SelectSourceOfTreeItem(item);
}

bool CLeftView::ShowEntryMenu(const QPoint& globalPosition) {
    QMenu menu(this);
    QAction* find = menu.addAction(tr("&Find in source"));
    return menu.exec(globalPosition) == find;
}

void CLeftView::SetHot(const QModelIndex& index) {
    if (index == hot_) return;
    const QModelIndex before = hot_;
    hot_ = index;
    for (const QModelIndex& changed : {before, index}) {
        if (changed.isValid()) viewport()->update(visualRect(changed));
    }
}

// The whole row is the entry's, as the selection is, past the end of its label too.
void CLeftView::mouseMoveEvent(QMouseEvent* event) {
    SetHot(indexAt(QPoint(std::max(0, columnViewportPosition(0)), event->position().toPoint().y())));
    QTreeWidget::mouseMoveEvent(event);
}

bool CLeftView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) SetHot(QModelIndex());
    return QTreeWidget::viewportEvent(event);
}

void CLeftView::mousePressEvent(QMouseEvent* event) {
    // A right click opens the entry's menu and leaves the selection as it was.
    if (event->button() == Qt::RightButton) {
        event->accept();
        OnRClick(event->position().toPoint());
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

// Dotted lines join each item to its parent and its siblings, the top-level items too; the style
// draws the expand buttons over them.
void CLeftView::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const {
    painter->save();
    painter->setPen(QPen(kLineColour, 1, Qt::DotLine));
    const int step = indentation();
    const int middle = rect.center().y();
    const bool button = model()->hasChildren(index);
    int level = 0;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) ++level;
    QModelIndex at = index;
    for (int l = level; l >= 0; --l, at = at.parent()) {
        const int x = rect.left() + l * step + step / 2;
        const bool hasNext = at.sibling(at.row() + 1, 0).isValid();
        if (l < level) {
            if (hasNext) painter->drawLine(x, rect.top(), x, rect.bottom());
            continue;
        }
        const int gap = button ? kButtonHalf : 0;
        const bool firstRoot = level == 0 && at.row() == 0;
        if (!firstRoot) painter->drawLine(x, rect.top(), x, middle - gap);
        if (hasNext) painter->drawLine(x, middle + gap, x, rect.bottom());
        painter->drawLine(x + gap, middle, rect.left() + (l + 1) * step, middle);
    }
    painter->restore();
    QTreeWidget::drawBranches(painter, rect, index);
}

void CLeftView::contextMenuEvent(QContextMenuEvent* event) {
    // The mouse's menu is the right click's; the keyboard's menu key opens nothing here.
    event->accept();
}
