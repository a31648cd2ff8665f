// CKestrumDoc: one script document. Its content is the QTextDocument that every editor view of
// it shows; its modified flag is that document's. Read from RTF (or plain text) and written as
// RTF, atomically.
#pragma once

#include <QObject>
#include <QString>

class QTextDocument;
class QWidget;

class CKestrumDoc : public QObject {
    Q_OBJECT
public:
    explicit CKestrumDoc(QObject* parent = nullptr);
    ~CKestrumDoc() override;

    QTextDocument* TextDocument() const { return textDocument_; }

    // An empty document named "Kestrum" with the next number.
    bool OnNewDocument();
    // Reads path; false with a message in error when it cannot be read or is malformed (the
    // document is then unchanged).
    bool OnOpenDocument(const QString& path, QString& error);
    // Writes the document to path through a temporary file beside it; false with a message in
    // error (the old file intact, the document still modified). On success the document takes
    // the path and is no longer modified.
    bool OnSaveDocument(const QString& path, QString& error);

    // Save, or Save As when the document has no file yet; failures are shown to the user.
    bool DoFileSave(QWidget* parent);
    // Asks for a name (the extension is added before the dialog asks whether to replace a file)
    // and saves there; refused with a message when another document has that file open.
    bool DoSaveAs(QWidget* parent);
    // Before a modified document goes: asks whether to save it. false when the user cancels or
    // the save fails.
    bool SaveModified(QWidget* parent);

    bool IsModified() const;
    const QString& PathName() const { return pathName_; }
    const QString& Title() const { return title_; }
    // Embedded objects and pictures the last open had to leave out.
    int DroppedObjects() const { return droppedObjects_; }
    int DroppedPictures() const { return droppedPictures_; }
    // What the user is told about them when the document opens; "" when nothing was left out.
    QString LeftOutNotice() const;

    // The frames showing the document: the last one to close asks to save it.
    void AddFrame() { ++frames_; }
    void RemoveFrame() { --frames_; }
    int FrameCount() const { return frames_; }

    static QString FileFilter();

Q_SIGNALS:
    void titleChanged();

private:
    void SetPathName(const QString& path);
    // The name Save As is to write, "" when the user cancels.
    QString AskSaveAsPath(QWidget* parent) const;

    QTextDocument* textDocument_;
    QString pathName_;
    QString title_;
    int droppedObjects_ = 0;
    int droppedPictures_ = 0;
    int frames_ = 0;
};
