// The tree after a check, and "&Find in source" from a right click.
#include "tests/shell/view_harness.h"

#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <map>

namespace {

const QString kScript = QStringLiteral(
    "Integer counts[12]\n"
    "Integer one[1]\n"
    "Float x\n"
    "Matrix m[2][2]\n"
    "LogicalNeuralNetwork ln\n"
    "Subroutin Foo\n"
    "EndSub\n");

// One line per entry below item, indented by depth.
QString Dump(const QTreeWidgetItem* item, int depth = 0) {
    QString text = QString(depth * 2, QLatin1Char(' ')) + item->text(0) + QLatin1Char('\n');
    for (int i = 0; i < item->childCount(); ++i) text += Dump(item->child(i), depth + 1);
    return text;
}

QTreeWidgetItem* Find(QTreeWidgetItem* under, const QStringList& path) {
    QTreeWidgetItem* item = under;
    for (const QString& label : path) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount() && next == nullptr; ++i)
            if (item->child(i)->text(0) == label) next = item->child(i);
        if (next == nullptr) return nullptr;
        item = next;
    }
    return item;
}

struct CheckedDocument : ViewPanes {
    int menus = 0;

    CheckedDocument() : ViewPanes(kScript) {
        tree.chooseFindInSource = [this](const QPoint&) {
            ++menus;
            return true;
        };
        tree.resize(400, 1200);
        tree.show();
    }
    QTreeWidgetItem* Source() { return tree.topLevelItem(1); }
    void RightClick(QPoint at) { QTest::mouseClick(tree.viewport(), Qt::RightButton, Qt::NoModifier, at); }
    QPoint LabelOf(QTreeWidgetItem* item) {
        tree.scrollToItem(item);
        const QRect rect = tree.visualItemRect(item);
        return QPoint(rect.left() + 3, rect.center().y());
    }
};

TEST(Tree, SourceBranchAfterACheck) {
    CheckedDocument doc;
    ASSERT_EQ(doc.tree.topLevelItemCount(), 1) << "never compiled: Help only";
    EXPECT_EQ(doc.tree.topLevelItem(0)->text(0), QStringLiteral("Help"));
    QString elements;
    for (const char* i : {"1", "10", "11", "12", "2", "3", "4", "5", "6", "7", "8", "9"})
        elements += QStringLiteral("        counts[%1]\n").arg(QLatin1String(i));
    const QString expected = QStringLiteral(
                                 "Source\n"
                                 "  Subroutins\n"
                                 "    Foo\n"
                                 "  Variables\n"
                                 "    _All\n"
                                 "      counts []\n"
                                 "      ln\n"
                                 "      m\n"
                                 "      one\n"
                                 "      x\n"
                                 "    Floats\n"
                                 "      x\n"
                                 "    Integers\n"
                                 "      counts []\n") +
                             elements +
                             QStringLiteral(
                                 "      one\n"
                                 "    Logical Neural Networks\n"
                                 "      ln\n"
                                 "    Matrices\n"
                                 "      m\n");
    for (int pass = 0; pass < 2; ++pass) {  // a second check rebuilds the branch from nothing
        doc.view.OnCompile();
        ASSERT_EQ(doc.tree.topLevelItemCount(), 2);
        EXPECT_EQ(Dump(doc.Source()).toStdString(), expected.toStdString());
    }
}

TEST(Tree, FindInSourceSelectsTheDeclaredName) {
    CheckedDocument doc;
    doc.view.OnCompile();
    doc.tree.expandAll();
    const auto selectionFor = [&](const QStringList& path) {
        QTreeWidgetItem* item = Find(doc.Source(), path);
        if (item == nullptr) return QString(QStringLiteral("no entry"));
        doc.view.moveCursor(QTextCursor::Start);
        doc.RightClick(doc.LabelOf(item));
        EXPECT_FALSE(item->isSelected()) << "the right-clicked entry does not become the selection";
        return doc.view.textCursor().selectedText();
    };
    struct Case {
        QStringList path;
        const char* selected;
    };
    const Case cases[] = {
        {{"Variables", "Floats", "x"}, "x"},
        {{"Variables", "_All", "x"}, "x"},
        {{"Subroutins", "Foo"}, "Foo"},
        {{"Variables", "Logical Neural Networks", "ln"}, "ln"},
    };
    for (const Case& c : cases) EXPECT_EQ(selectionFor(c.path).toStdString(), c.selected);
    // An array's entries, its elements' too, all select the range its declaration recorded.
    const QString array = selectionFor({"Variables", "Integers", "counts []"});
    EXPECT_FALSE(array.isEmpty());
    EXPECT_EQ(selectionFor({"Variables", "_All", "counts []"}), array);
    EXPECT_EQ(selectionFor({"Variables", "Integers", "counts []", "counts[10]"}), array);
}

// The scanner reads past a declaration's name, over its sizes and count and on to see whether the
// list goes on: neither these nor comments after it, up to the end of the text or before more code,
// move the range the tree records from the name.
TEST(Tree, FindInSourceSelectsTheNameWhateverFollowsIt) {
    struct Case {
        const char* declaration;
        QStringList path;
        const char* selected;
    };
    const Case cases[] = {
        {"Integer count", {"Variables", "Integers", "count"}, "count"},
        {"Float ratio", {"Variables", "_All", "ratio"}, "ratio"},
        {"Integer a, last", {"Variables", "Integers", "last"}, "last"},
        {"LogicalNeuralNetwork ln", {"Variables", "Logical Neural Networks", "ln"}, "ln"},
        {"FF_NeuralNetwork ff", {"Variables", "FF Neural Networks", "ff"}, "ff"},
        {"Matrix grid[2][3]", {"Variables", "Matrices", "grid"}, "grid"},
        {"Matrix grids[2][3][4]", {"Variables", "_All", "grids []"}, "grids"},
        {"Matrix grids[2][3][4]", {"Variables", "Matrices", "grids []", "grids[4]"}, "grids"},
        {"Integer arr[3]", {"Variables", "Integers", "arr []"}, "arr"},
        {"Integer arr[3]", {"Variables", "Integers", "arr []", "arr[2]"}, "arr"},
        {"String a, words[2]", {"Variables", "Strings", "words []"}, "words"},
        {"Float one[1]", {"Variables", "Floats", "one"}, "one"},
        {"FF_NeuralNetwork nets[2]", {"Variables", "FF Neural Networks", "nets []"}, "nets"},
        {"LogicalNeuralNetwork rams[3]", {"Variables", "_All", "rams []"}, "rams"},
        {"LogicalNeuralNetwork rams[3]", {"Variables", "Logical Neural Networks", "rams []", "rams[1]"}, "rams"},
    };
    const char* const followers[] = {"\nPrint 1\n", "\n// one\n// two\n", " // why\n", "\n/* block */\n",
                                     " // why\nPrint 1\n"};
    for (const Case& c : cases) {
        for (const char* follower : followers) {
            const QString script = QString::fromLatin1(c.declaration) + QString::fromLatin1(follower);
            CheckedDocument doc;
            doc.view.setPlainText(script);
            doc.view.OnCompile();
            doc.tree.expandAll();
            QTreeWidgetItem* item = Find(doc.Source(), c.path);
            ASSERT_NE(item, nullptr) << script.toStdString();
            doc.view.moveCursor(QTextCursor::Start);
            doc.RightClick(doc.LabelOf(item));
            EXPECT_EQ(doc.view.textCursor().selectedText().toStdString(), c.selected) << script.toStdString();
        }
    }
}

TEST(Tree, FindInSourceOnWhatHasNoSourceDoesNothing) {
    CheckedDocument doc;
    doc.view.OnCompile();
    doc.tree.expandAll();
    const QStringList nodes[] = {{}, {"Variables"}, {"Variables", "_All"}, {"Subroutins"}, {"Variables", "Matrices"}};
    for (const QStringList& path : nodes) {
        doc.view.moveCursor(QTextCursor::Start);
        doc.RightClick(doc.LabelOf(Find(doc.Source(), path)));
        EXPECT_FALSE(doc.view.textCursor().hasSelection()) << path.join(QLatin1Char('/')).toStdString();
    }
    doc.RightClick(doc.LabelOf(doc.tree.topLevelItem(0)));  // "Help"
    EXPECT_FALSE(doc.view.textCursor().hasSelection());
    const int menusOnLabels = doc.menus;
    EXPECT_EQ(menusOnLabels, 6);

    // No menu below the last entry, nor on an entry's expand button.
    doc.tree.collapseAll();
    doc.RightClick(QPoint(10, doc.tree.viewport()->height() - 5));
    const QRect source = doc.tree.visualItemRect(doc.Source());
    doc.RightClick(QPoint(source.left() - doc.tree.indentation() / 2, source.center().y()));
    EXPECT_EQ(doc.menus, menusOnLabels);
}

}  // namespace

namespace {

// Whether a column of the picture holds a dotted line's pixel anywhere from y0 to y1.
bool LineAt(const QImage& picture, int x, int y0, int y1) {
    for (int y = y0; y <= y1; ++y) {
        if (picture.pixelColor(x, y) == QColor(128, 128, 128)) return true;
    }
    return false;
}

TEST(Tree, LinesJoinItemsToTheirParentsAndSiblings) {
    CLeftView tree;
    tree.resize(300, 600);
    tree.show();
    QTreeWidgetItem* help = tree.topLevelItem(0);
    ASSERT_NE(help, nullptr);
    tree.InsertItem(QStringLiteral("Source"), nullptr, false);
    help->setExpanded(true);
    ASSERT_GE(help->childCount(), 2);
    const QImage picture = tree.viewport()->grab().toImage();
    const int step = tree.indentation();
    const QRect first = tree.visualItemRect(help->child(0));
    const QRect second = tree.visualItemRect(help->child(1));
    const QRect source = tree.visualItemRect(tree.topLevelItem(1));
    // The children's column between two children; the top level's column between "Help" and
    // "Source", past all the children; each child's stub towards its label.
    EXPECT_TRUE(LineAt(picture, step + step / 2, first.center().y() + 6, second.center().y() - 6));
    EXPECT_TRUE(LineAt(picture, step / 2, second.top(), source.top()));
    const int stub = first.center().y();
    bool stubDrawn = false;
    for (int x = step + step / 2 + 6; x < 2 * step; ++x) stubDrawn = stubDrawn || LineAt(picture, x, stub, stub);
    EXPECT_TRUE(stubDrawn);
}

// The entry under the mouse is drawn underlined; nothing else of the picture changes, and the
// selection stays where it was.
TEST(Tree, TheHoveredEntryIsUnderlinedAndNothingElseChanges) {
    CLeftView tree;
    tree.resize(300, 400);
    tree.show();
    QTreeWidgetItem* help = tree.topLevelItem(0);
    help->setExpanded(true);
    ASSERT_GE(help->childCount(), 3);
    tree.setCurrentItem(help->child(0));
    const QPoint blank(10, tree.viewport()->height() - 3);
    QTest::mouseMove(tree.viewport(), blank);
    QApplication::processEvents();
    const QImage plain = tree.viewport()->grab().toImage();
    const struct {
        QTreeWidgetItem* hovered;  // nullptr: the mouse over no entry
        QPoint at;
    } cases[] = {
        {help->child(2), tree.visualItemRect(help->child(2)).center()},
        {help, tree.visualItemRect(help).center()},
        {help->child(1), QPoint(tree.viewport()->width() - 3, tree.visualItemRect(help->child(1)).center().y())},
        {nullptr, blank},
    };
    for (const auto& c : cases) {
        QTest::mouseMove(tree.viewport(), c.at);
        QApplication::processEvents();
        const QImage hot = tree.viewport()->grab().toImage();
        const QRect row = c.hovered ? tree.visualItemRect(c.hovered) : QRect();
        int outside = 0;
        std::map<int, int> changedInLine;  // y -> changed pixels
        for (int y = 0; y < plain.height(); ++y) {
            for (int x = 0; x < plain.width(); ++x) {
                if (plain.pixel(x, y) == hot.pixel(x, y)) continue;
                if (row.contains(x, y)) {
                    ++changedInLine[y];
                } else {
                    ++outside;
                }
            }
        }
        EXPECT_EQ(outside, 0);
        int longest = 0;
        for (const auto& [y, count] : changedInLine) longest = std::max(longest, count);
        if (c.hovered != nullptr) {
            // One line under the label's text, about as long as the text.
            const int label = tree.fontMetrics().horizontalAdvance(c.hovered->text(0));
            EXPECT_GE(longest, label * 3 / 4) << c.hovered->text(0).toStdString();
            EXPECT_LE(changedInLine.size(), 3u) << c.hovered->text(0).toStdString();
        } else {
            EXPECT_TRUE(changedInLine.empty());
        }
        EXPECT_EQ(tree.currentItem(), help->child(0));
        EXPECT_EQ(tree.selectedItems(), QList<QTreeWidgetItem*>({help->child(0)}));
    }
}

}  // namespace
