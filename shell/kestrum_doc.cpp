#include "shell/kestrum_doc.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QList>
#include <QStringList>
#include <QMessageBox>
#include <QTextDocument>
#include <new>

#include "platform/rtf_writer.h"
#include "shell/document_limits.h"
#include "shell/open_documents.h"
#include "shell/text_document_convert.h"
#include "windows/atomic_save.h"

namespace {

constexpr char kAppTitle[] = "Kestrum";
constexpr char kDocumentName[] = "Kestrum";
constexpr char kExtension[] = ".NNProg";

int g_untitledCount = 0;

}  // namespace

CKestrumDoc::CKestrumDoc(QObject* parent) : QObject(parent), textDocument_(new QTextDocument(this)) {
    textDocument_->setDefaultFont(QFont("Courier New", 10));
    connect(textDocument_, &QTextDocument::modificationChanged, this, &CKestrumDoc::titleChanged);
    COpenDocuments::Add(this);
}

CKestrumDoc::~CKestrumDoc() { COpenDocuments::Remove(this); }

QString CKestrumDoc::FileFilter() { return QStringLiteral("Kestrum Files (*.NNProg)"); }

bool CKestrumDoc::IsModified() const { return textDocument_->isModified(); }

bool CKestrumDoc::OnNewDocument() {
    textDocument_->clear();
    textDocument_->setModified(false);
    title_ = QString(kDocumentName) + QString::number(++g_untitledCount);
    Q_EMIT titleChanged();
    return true;
}

bool CKestrumDoc::OnOpenDocument(const QString& path, QString& error) {
    const QFileInfo info(path);
    QFile file(path);
    QString reason;
    if (!info.exists()) {
        reason = "there is no such file";
    } else if (info.isDir()) {
        reason = "it is a folder";
    } else if (!info.isFile()) {
        reason = "it is not a regular file";  // a device or a pipe could read forever
    } else if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
    }
    if (!reason.isEmpty()) {
        error = QString("Cannot open %1: %2").arg(path, reason);
        return false;
    }
    if (file.size() > doc_limits::kMaxFileBytes) {
        error = QString("Cannot open %1: the file is larger than %2 MB, more than the editor takes")
                    .arg(path)
                    .arg(doc_limits::kMaxFileBytes >> 20);
        return false;
    }
    rich::Document document;
    std::string readError;
    try {
        if (!rich::LoadDocument(file.readAll().toStdString(), document, readError, doc_limits::EditorBounds())) {
            error = QString("Cannot open %1: %2").arg(path, QString::fromStdString(readError));
            return false;
        }
    } catch (const std::bad_alloc&) {
        // The other documents and their edits stay: only this one is not opened.
        error = QString("Cannot open %1: there is not enough memory to read it").arg(path);
        return false;
    }
    FillTextDocument(*textDocument_, document);
    droppedObjects_ = document.droppedObjects;
    droppedPictures_ = document.droppedPictures;
    SetPathName(path);
    return true;
}

QString CKestrumDoc::LeftOutNotice() const {
    QStringList held;
    QStringList kinds;
    if (droppedObjects_ > 0) {
        held << QString("%1 embedded object(s)").arg(droppedObjects_);
        kinds << "embedded objects";
    }
    if (droppedPictures_ > 0) {
        held << QString("%1 picture(s)").arg(droppedPictures_);
        kinds << "pictures";
    }
    if (held.isEmpty()) return QString();
    return QString("%1 holds %2; %3 are not supported, so they are not shown and a save leaves them out.")
        .arg(title_, held.join(" and "), kinds.join(" and "));
}

bool CKestrumDoc::OnSaveDocument(const QString& path, QString& error) {
    const std::string bytes = rtf::WriteDocument(ToRichDocument(*textDocument_));
    QString why;
    if (!SaveBytesAtomically(path, QByteArray::fromStdString(bytes), &why)) {
        error = QString("Cannot save %1: %2").arg(path, why);
        return false;
    }
    textDocument_->setModified(false);
    SetPathName(path);
    return true;
}

void CKestrumDoc::SetPathName(const QString& path) {
    pathName_ = QFileInfo(path).absoluteFilePath();
    title_ = QFileInfo(path).fileName();
    Q_EMIT titleChanged();
}

bool CKestrumDoc::DoFileSave(QWidget* parent) {
    if (pathName_.isEmpty()) return DoSaveAs(parent);
    QString error;
    if (OnSaveDocument(pathName_, error)) return true;
    QMessageBox::warning(parent, kAppTitle, error);
    return false;
}

QString CKestrumDoc::AskSaveAsPath(QWidget* parent) const {
    QFileDialog dialog(parent, "Save As", pathName_.isEmpty() ? title_ + kExtension : pathName_, FileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog adds it to a name typed without one, so that it asks about the file it will write.
    dialog.setDefaultSuffix(QString(kExtension).mid(1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    QString path = dialog.selectedFiles().constFirst();
    // A desktop's own dialog may hand the name back as typed, having asked about that name only.
    if (!QFileInfo(path).fileName().contains('.')) {
        path += kExtension;
        if (QFileInfo::exists(path) &&
            QMessageBox::warning(parent, "Save As",
                                 QString("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(path).fileName()),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes) {
            return QString();
        }
    }
    return path;
}

bool CKestrumDoc::DoSaveAs(QWidget* parent) {
    const QString path = AskSaveAsPath(parent);
    if (path.isEmpty()) return false;
    if (COpenDocuments::Find(path, this) != nullptr) {
        QMessageBox::warning(parent, kAppTitle,
                             QString("Cannot save as %1: it is open in another window. Close that window first, "
                                     "or choose another name.")
                                 .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
        return false;
    }
    QString error;
    if (OnSaveDocument(path, error)) return true;
    QMessageBox::warning(parent, kAppTitle, error);
    return false;
}

bool CKestrumDoc::SaveModified(QWidget* parent) {
    if (!IsModified()) return true;
    const auto answer = QMessageBox::question(parent, kAppTitle, QString("Save changes to %1?").arg(title_),
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::No) return true;
    return DoFileSave(parent);
}
