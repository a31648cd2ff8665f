// A script's file-open dialog: its title, its one filter, and the extension a typed name gets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "shell/qt_desktop.h"

namespace {

struct SeenDialog {
    QString title;
    QStringList filters;
};

// Types name into the next file dialog and presses Enter, or cancels it when name is empty.
void AnswerNextFileDialog(const QString& name, SeenDialog& seen) {
    QTimer::singleShot(0, [name, &seen] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = {dialog->windowTitle(), dialog->nameFilters()};
        if (name.isEmpty()) {
            dialog->reject();
            return;
        }
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->setText(name);
        // A dialog that does not take the name complains in a box of its own: both go, so that a
        // failure cannot hang.
        QTimer::singleShot(100, [] {
            while (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) modal->reject();
        });
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

TEST(SelectFile, TitledForTheScriptAndTypedNamesGetTxt) {
    QTemporaryDir folder;
    for (const char* name : {"pick_me.txt", "other.dat"}) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QtDesktop desktop;
    // Typed with the folder, as the dialog may start in the folder it showed last.
    const QDir in(folder.path());
    const struct {
        QString typed;
        QString expected;  // the file's name in the folder, empty for none
    } cases[] = {
        {in.filePath(QStringLiteral("pick_me")), QStringLiteral("pick_me.txt")},
        {in.filePath(QStringLiteral("other.dat")), QStringLiteral("other.dat")},
        {QString(), QString()},
    };
    for (const auto& c : cases) {
        SeenDialog seen;
        AnswerNextFileDialog(c.typed, seen);
        const std::string chosen = desktop.SelectFile(nullptr, "Tessel Select File ..................*.txt", "*.txt");
        EXPECT_EQ(seen.title.toStdString(), "Tessel Select File") << c.typed.toStdString();
        EXPECT_EQ(seen.filters.join('|').toStdString(), "Tessel Select File ..................*.txt (*.txt)");
        const QString expected = c.expected.isEmpty() ? QString() : QDir(folder.path()).absoluteFilePath(c.expected);
        EXPECT_EQ(chosen, expected.toStdString()) << c.typed.toStdString();
    }
}

}  // namespace
