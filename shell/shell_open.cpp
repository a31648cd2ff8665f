#include "shell/shell_open.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <sys/un.h>

#include <algorithm>
#include <cstring>
#include <unistd.h>

#include "platform/open_request.h"
#include "platform/private_folder.h"
#include "shell/document_open_queue.h"
#include "shell/open_request_connection.h"

namespace {

constexpr char kChannel[] = "/kestrum-open";
constexpr int kConnectRetryMs = 50;

int Remaining(const QDeadlineTimer& deadline) { return static_cast<int>(std::max<qint64>(0, deadline.remainingTime())); }

// The listener may be starting still (it holds the lock and is making its main window): the
// channel is tried again until the deadline.
bool ConnectBefore(QLocalSocket& socket, const QString& channel, const QDeadlineTimer& deadline) {
    for (;;) {
        socket.connectToServer(channel);
        if (socket.waitForConnected(Remaining(deadline))) return true;
        socket.abort();
        if (deadline.hasExpired()) return false;
        QThread::msleep(kConnectRetryMs);
    }
}

bool WriteBefore(QLocalSocket& socket, const QByteArray& bytes, const QDeadlineTimer& deadline) {
    if (socket.write(bytes) != bytes.size()) return false;
    while (socket.bytesToWrite() > 0) {
        if (deadline.hasExpired() || !socket.waitForBytesWritten(Remaining(deadline))) return false;
    }
    return true;
}

bool ReadAnswerBefore(QLocalSocket& socket, const QDeadlineTimer& deadline, char& answer) {
    while (socket.bytesAvailable() == 0) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(Remaining(deadline))) return false;
    }
    return socket.getChar(&answer);
}

}  // namespace

QStringList CShellOpenServer::DocumentsToOpen(const QStringList& arguments) {
    const qsizetype option = arguments.indexOf(kOpenOption, 1);
    QStringList documents;
    if (option < 0) return documents;
    // The option given again is the option still, as a user writes "--open a --open b"; a
    // file of that name is "./--open".
    for (const QString& argument : arguments.mid(option + 1)) {
        if (!argument.isEmpty() && argument != kOpenOption) documents << QFileInfo(argument).absoluteFilePath();
    }
    return documents;
}

QString CShellOpenServer::DefaultFolder(QString* why) {
    // The channel's name and the lock's (the longer) must fit a socket's address.
    const std::size_t room = std::strlen(kChannel) + std::strlen(".lock");
    std::string refusal;
    const std::string folder = private_folder::Find(QFile::encodeName(qEnvironmentVariable("XDG_RUNTIME_DIR")).toStdString(),
                                                    QFile::encodeName(QDir::tempPath()).toStdString(), ::getuid(), room,
                                                    sizeof(sockaddr_un::sun_path) - 1, refusal);
    if (why != nullptr) *why = QString::fromLocal8Bit(refusal);
    return QFile::decodeName(QByteArray::fromStdString(folder));
}

QString CShellOpenServer::ChannelName(const QString& folder) { return folder + kChannel; }

QString CShellOpenServer::LockName(const QString& channel) { return channel + ".lock"; }

bool CShellOpenServer::HandToRunningInstance(const QString& channel, const QStringList& documents, int timeoutMs,
                                             QString* why) {
    const auto fail = [why](const QString& reason) {
        if (why != nullptr) *why = reason;
        return false;
    };
    std::vector<std::string> paths;
    for (const QString& document : documents) paths.push_back(QFile::encodeName(document).toStdString());
    std::string request;
    std::string refusal;
    if (!open_request::Encode(paths, request, refusal)) return fail(QString::fromLocal8Bit(refusal));
    const QDeadlineTimer deadline(timeoutMs);
    const QString late = QString("it did not answer within %1 seconds").arg(timeoutMs / 1000.0);
    QLocalSocket socket;
    if (!ConnectBefore(socket, channel, deadline)) return fail(late);
    char answer = 0;
    if (!WriteBefore(socket, QByteArray::fromStdString(request), deadline) || !ReadAnswerBefore(socket, deadline, answer)) {
        return fail(late);
    }
    if (answer != open_request::kAccepted) return fail("it refused the request");
    if (!WriteBefore(socket, QByteArray(1, open_request::kCommit), deadline)) return fail(late);
    socket.disconnectFromServer();
    return true;
}

CShellOpenServer::CShellOpenServer(CMainFrame* frame, const QString& channel, QObject* parent)
    : QObject(parent), channel_(channel), server_(new QLocalServer(this)), queue_(new CDocumentOpenQueue(frame, this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &CShellOpenServer::OnNewConnection);
}

CShellOpenServer::~CShellOpenServer() = default;

bool CShellOpenServer::Listen(InstanceLock held) {
    if (channel_.isEmpty()) return false;
    lock_ = std::move(held);
    if (!lock_.Held() && !lock_.TryLock(QFile::encodeName(LockName(channel_)).toStdString())) return false;
    QLocalServer::removeServer(channel_);  // one that ended left it behind; only the lock's holder gets here
    if (server_->listen(channel_)) return true;
    lock_.Release();  // so that a later start can listen in its place
    return false;
}

bool CShellOpenServer::IsListening() const { return server_->isListening(); }

void CShellOpenServer::Open(const QStringList& documents) { queue_->Add(documents); }

void CShellOpenServer::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        if (connections_ >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++connections_;
        auto* connection = new COpenRequestConnection(socket, kHandOverTimeoutMs, this);
        connect(connection, &COpenRequestConnection::taken, this, &CShellOpenServer::Open);
        connect(connection, &COpenRequestConnection::ended, this, [this] { --connections_; });
    }
}
