// Opening documents at the desktop's request: the desktop entry starts the program with
// "--open FILE..."; the first instance opens them itself and from then on listens for later
// requests, which a second start hands over to it instead of opening a second main window.
// A file named without "--open" is not opened: start-up itself opens no document.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class CMainFrame;
class QLocalServer;

class CShellOpenServer : public QObject {
    Q_OBJECT
public:
    static constexpr char kOpenOption[] = "--open";

    // The documents a command line asks to open (absolute paths): every argument after kOpenOption.
    static QStringList DocumentsToOpen(const QStringList& arguments);
    // The name of the user's channel.
    static QString DefaultName();
    // Hands documents to the instance listening on name; false when there is none.
    static bool HandToRunningInstance(const QString& name, const QStringList& documents);

    CShellOpenServer(CMainFrame* frame, const QString& name, QObject* parent = nullptr);
    ~CShellOpenServer() override;
    // Takes the requests on name unless another live instance does; a channel left by an
    // instance that ended is taken over. false when nothing listens here.
    bool Listen();
    bool IsListening() const;
    // Opens each document in the main frame and brings the frame to the front.
    void Open(const QStringList& documents);

private:
    void OnNewConnection();

    CMainFrame* frame_;
    QString name_;
    QLocalServer* server_;
};
