// Opening documents at the desktop's request: the desktop entry starts the program with
// "--open FILE...". The instance that holds the lock beside the user's channel takes the
// requests; a later start hands its documents over to it instead of opening a second main
// window, all of them or (when the instance does not take them) none. The channel lives only in
// a folder private to the user; without one, every start opens its documents itself.
// A file named without "--open" is not opened: start-up itself opens no document.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "platform/instance_lock.h"

class CDocumentOpenQueue;
class CMainFrame;
class QLocalServer;

class CShellOpenServer : public QObject {
    Q_OBJECT
public:
    static constexpr char kOpenOption[] = "--open";
    static constexpr int kHandOverTimeoutMs = 10000;
    // Requests at once; more are turned away unread.
    static constexpr int kMaxConnections = 16;

    // The documents a command line asks to open (absolute paths): every argument after kOpenOption
    // but kOpenOption itself.
    static QStringList DocumentsToOpen(const QStringList& arguments);
    // The user's private folder for the channel; "" when there is none, why then says why.
    static QString DefaultFolder(QString* why = nullptr);
    // The channel in folder, and the lock its listener holds.
    static QString ChannelName(const QString& folder);
    static QString LockName(const QString& channel);
    // Hands documents to the instance listening on channel, waiting for it up to timeoutMs;
    // false with why when it did not take them, and then it opens none of them.
    static bool HandToRunningInstance(const QString& channel, const QStringList& documents,
                                      int timeoutMs = kHandOverTimeoutMs, QString* why = nullptr);

    CShellOpenServer(CMainFrame* frame, const QString& channel, QObject* parent = nullptr);
    ~CShellOpenServer() override;
    // Takes the requests on the channel unless another live instance holds its lock (held: the
    // lock when the caller has taken it already); a channel left by an instance that ended is
    // taken over. false when nothing listens here.
    bool Listen(InstanceLock held = InstanceLock());
    bool IsListening() const;
    // Opens the documents in the main frame, one per turn of the event loop.
    void Open(const QStringList& documents);
    CDocumentOpenQueue* Queue() const { return queue_; }
    // Requests being received.
    int Connections() const { return connections_; }

private:
    void OnNewConnection();

    QString channel_;
    QLocalServer* server_;
    CDocumentOpenQueue* queue_;
    InstanceLock lock_;
    int connections_ = 0;
};
