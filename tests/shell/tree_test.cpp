// The tree after a check, and "&Find in source" from a right click.
#include "tests/shell/view_harness.h"

#include <gtest/gtest.h>

#include <QTest>

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

// The scanner reads past a declaration to see whether its list goes on: comments after it, up to
// the end of the text or before more code, leave the range the tree records as it is without them.
TEST(Tree, CommentsAfterADeclarationLeaveItsRange) {
    struct Case {
        const char* declaration;
        QStringList path;
        const char* selected;  // nullptr: whatever the declaration records followed by code
    };
    const Case cases[] = {
        {"Integer count", {"Variables", "Integers", "count"}, "count"},
        {"Float ratio", {"Variables", "_All", "ratio"}, "ratio"},
        {"Integer a, last", {"Variables", "Integers", "last"}, "last"},
        {"LogicalNeuralNetwork ln", {"Variables", "Logical Neural Networks", "ln"}, "ln"},
        {"FF_NeuralNetwork ff", {"Variables", "FF Neural Networks", "ff"}, "ff"},
        {"Matrix grid[2][3]", {"Variables", "Matrices", "grid"}, nullptr},
        {"Integer arr[3]", {"Variables", "Integers", "arr []"}, nullptr},
    };
    const char* const followers[] = {"\nPrint 1\n", "\n// one\n// two\n", " // why\n", "\n/* block */\n",
                                     " // why\nPrint 1\n"};
    for (const Case& c : cases) {
        QString first;
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
            const QString selected = doc.view.textCursor().selectedText();
            if (first.isNull()) first = selected;
            EXPECT_EQ(selected.toStdString(), c.selected ? c.selected : first.toStdString()) << script.toStdString();
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

}  // namespace
