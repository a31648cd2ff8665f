// Save As: the dialog asks about the file that is written, and a file that another document has
// open is not written over.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <deque>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <functional>

#include "file_bytes.h"
#include "modal_steps.h"
#include "shell/kestrum_doc.h"

namespace {

// Types name into the save dialog and presses Enter.
ModalSteps::Step TypeName(const QString& name) {
    return [name](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        auto* edit = dialog != nullptr ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
        if (edit == nullptr) return false;
        QTimer::singleShot(0, edit, [edit, name] {
            edit->setText(name);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        return true;
    };
}

ModalSteps::Step Cancel() {
    return [](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr) return false;
        QTimer::singleShot(0, dialog, &QDialog::reject);
        return true;
    };
}

// A document saved in folder as name, with text, then edited.
void SavedAndEdited(CKestrumDoc& doc, const QTemporaryDir& folder, const QString& name, const QString& text) {
    doc.OnNewDocument();
    doc.TextDocument()->setPlainText(text);
    QString error;
    ASSERT_TRUE(doc.OnSaveDocument(folder.filePath(name), error)) << error.toStdString();
    doc.TextDocument()->setPlainText(text + " edited");
}

TEST(DocumentSaveAsTest, TheReplaceQuestionNamesTheFileWithItsExtension) {
    struct Case {
        const char* what;
        QMessageBox::StandardButton answer;
        QByteArray victimAfter;  // "" when the document's RTF replaced it
    };
    const Case cases[] = {
        {"No keeps the file", QMessageBox::No, "precious"},
        {"Yes replaces it", QMessageBox::Yes, ""},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        Write(folder.filePath("victim.NNProg"), "precious");
        CKestrumDoc doc;
        SavedAndEdited(doc, folder, "first.NNProg", "Println 1");
        std::deque<ModalSteps::Step> steps = {TypeName("victim"), Answer("victim.NNProg already exists", c.answer)};
        if (c.answer == QMessageBox::No) steps.push_back(Cancel());
        const ModalSteps modal(std::move(steps));
        const bool saved = doc.DoSaveAs(nullptr);
        EXPECT_TRUE(modal.AllTaken()) << c.what << ": no question about victim.NNProg";
        EXPECT_EQ(saved, c.answer == QMessageBox::Yes) << c.what;
        if (c.victimAfter.isEmpty()) {
            EXPECT_TRUE(ReadAll(folder.filePath("victim.NNProg")).startsWith("{\\rtf1")) << c.what;
            EXPECT_EQ(doc.Title(), "victim.NNProg") << c.what;
        } else {
            EXPECT_EQ(ReadAll(folder.filePath("victim.NNProg")), c.victimAfter) << c.what;
            EXPECT_EQ(doc.Title(), "first.NNProg") << c.what;
        }
    }
}

TEST(DocumentSaveAsTest, AFileThatAnotherDocumentHasOpenIsNotSavedOver) {
    QTemporaryDir folder;
    CKestrumDoc a;
    CKestrumDoc b;
    SavedAndEdited(a, folder, "a.NNProg", "text of a");
    SavedAndEdited(b, folder, "b.NNProg", "text of b");
    struct Case {
        const char* what;
        QString typed;  // into a's Save As dialog
    };
    const Case cases[] = {
        {"its name", "b.NNProg"},
        {"its name without the extension", "b"},
        {"the same file by another way", "../" + QFileInfo(folder.path()).fileName() + "/./b.NNProg"},
    };
    for (const Case& c : cases) {
        QString refusal;
        const ModalSteps modal({TypeName(c.typed), Answer("already exists", QMessageBox::Yes),
                                Answer("open in another window", QMessageBox::Ok, &refusal)});
        EXPECT_FALSE(a.DoSaveAs(nullptr)) << c.what;
        EXPECT_TRUE(modal.AllTaken()) << c.what << ": no refusal";
        EXPECT_TRUE(refusal.contains(folder.filePath("b.NNProg"))) << c.what << ": " << refusal.toStdString();
        EXPECT_TRUE(ReadAll(folder.filePath("b.NNProg")).contains("text of b}")) << c.what;
        EXPECT_EQ(a.PathName(), folder.filePath("a.NNProg")) << c.what;
        EXPECT_TRUE(a.IsModified()) << c.what;
    }
    // Once b has moved on, its old file is a's to take.
    QString error;
    ASSERT_TRUE(b.OnSaveDocument(folder.filePath("elsewhere.NNProg"), error));
    const ModalSteps modal({TypeName("b"), Answer("already exists", QMessageBox::Yes)});
    EXPECT_TRUE(a.DoSaveAs(nullptr));
    EXPECT_TRUE(ReadAll(folder.filePath("b.NNProg")).contains("text of a edited}"));
}

// Another name of a file that another document has open: a linked folder, a link to the file,
// and the same when the file has meanwhile been deleted on disk (the save would make it again).
TEST(DocumentSaveAsTest, AnotherNameOfAFileThatAnotherDocumentHasOpenIsRefused) {
    struct Case {
        const char* what;
        const char* typed;  // relative to the folder
        bool deleteFirst;
        bool refused;
    };
    const Case cases[] = {
        {"a linked folder", "lnk/x.NNProg", false, true},
        {"a link to the file", "file-link.NNProg", false, true},
        {"a linked folder, the file deleted", "lnk/x.NNProg", true, true},
        {"a link to the deleted file: the save replaces the link", "file-link.NNProg", true, false},
        {"another file in the linked folder", "lnk/y.NNProg", false, false},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        ASSERT_TRUE(QDir(folder.path()).mkdir("real"));
        ASSERT_TRUE(QFile::link(folder.filePath("real"), folder.filePath("lnk")));
        CKestrumDoc open;
        SavedAndEdited(open, folder, "real/x.NNProg", "text of x");
        ASSERT_TRUE(QFile::link(folder.filePath("real/x.NNProg"), folder.filePath("file-link.NNProg")));
        if (c.deleteFirst) {
            ASSERT_TRUE(QFile::remove(folder.filePath("real/x.NNProg")));
        }
        CKestrumDoc other;
        SavedAndEdited(other, folder, "other.NNProg", "text of other");
        std::deque<ModalSteps::Step> steps = {TypeName(folder.filePath(c.typed))};
        if (!c.deleteFirst && c.refused) steps.push_back(Answer("already exists", QMessageBox::Yes));
        if (c.refused) steps.push_back(Answer("open in another window", QMessageBox::Ok));
        const ModalSteps modal(std::move(steps));
        EXPECT_EQ(other.DoSaveAs(nullptr), !c.refused) << c.what;
        EXPECT_TRUE(modal.AllTaken()) << c.what;
        EXPECT_EQ(other.PathName() == folder.filePath("other.NNProg"), c.refused) << c.what;
        const QByteArray x = ReadAll(folder.filePath("real/x.NNProg"));
        EXPECT_EQ(x.contains("text of other edited}"), false) << c.what << ": the open document's file was replaced";
    }
}

// A pipe, even one with a reader, takes no document, by Save As or by Save once the file has
// become one, nor does a folder: the save is refused with a message and the document stays
// modified under its old name.
TEST(DocumentSaveAsTest, ASaveTargetThatIsNoRegularFileIsRefused) {
    enum How { kSaveAs, kSave, kSaveToFolder };
    for (const How how : {kSaveAs, kSave, kSaveToFolder}) {
        QTemporaryDir folder;
        CKestrumDoc doc;
        SavedAndEdited(doc, folder, "doc.NNProg", "text");
        const QString pipe = how == kSave ? folder.filePath("doc.NNProg") : folder.filePath("pipe.NNProg");
        if (how == kSave) {
            ASSERT_TRUE(QFile::remove(pipe));
        }
        ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        const int reader = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        QString refusal;
        if (how == kSaveToFolder) {
            ASSERT_TRUE(QDir(folder.path()).mkdir("folder.NNProg"));
            EXPECT_FALSE(doc.OnSaveDocument(folder.filePath("folder.NNProg"), refusal));
        } else {
            std::deque<ModalSteps::Step> steps;
            if (how == kSaveAs) steps = {TypeName(pipe), Answer("already exists", QMessageBox::Yes)};
            steps.push_back(Answer("Cannot save", QMessageBox::Ok, &refusal));
            const ModalSteps modal(std::move(steps));
            EXPECT_FALSE(how == kSaveAs ? doc.DoSaveAs(nullptr) : doc.DoFileSave(nullptr)) << how;
            EXPECT_TRUE(modal.AllTaken()) << how;
        }
        EXPECT_TRUE(refusal.contains("no regular file")) << how << ": " << refusal.toStdString();
        EXPECT_EQ(doc.PathName(), folder.filePath("doc.NNProg")) << how;
        EXPECT_TRUE(doc.IsModified()) << how;
        char byte = 0;
        EXPECT_LE(::read(reader, &byte, 1), 0) << how << ": nothing went into the pipe";
        ::close(reader);
    }
}

}  // namespace
