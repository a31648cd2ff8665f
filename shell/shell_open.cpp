#include "shell/shell_open.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

#include "shell/main_frame.h"

namespace {

constexpr int kHandOverTimeoutMs = 3000;

}  // namespace

QStringList CShellOpenServer::DocumentsToOpen(const QStringList& arguments) {
    const qsizetype option = arguments.indexOf(kOpenOption, 1);
    QStringList documents;
    if (option < 0) return documents;
    for (const QString& argument : arguments.mid(option + 1)) {
        if (!argument.isEmpty()) documents << QFileInfo(argument).absoluteFilePath();
    }
    return documents;
}

QString CShellOpenServer::DefaultName() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString folder = QFileInfo(runtime).isDir() ? runtime : QDir::tempPath();
    return folder + "/kestrum-open-" + QString::number(::getuid());
}

// One path per line, UTF-8; the server opens them once the sender has gone.
bool CShellOpenServer::HandToRunningInstance(const QString& name, const QStringList& documents) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kHandOverTimeoutMs)) return false;
    const QByteArray request = (documents.join('\n') + '\n').toUtf8();
    if (socket.write(request) != request.size()) return false;
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(kHandOverTimeoutMs)) return false;
    }
    socket.disconnectFromServer();
    return true;
}

CShellOpenServer::CShellOpenServer(CMainFrame* frame, const QString& name, QObject* parent)
    : QObject(parent), frame_(frame), name_(name), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &CShellOpenServer::OnNewConnection);
}

CShellOpenServer::~CShellOpenServer() = default;

bool CShellOpenServer::Listen() {
    // Asked first: with access options Qt's listen would replace a live instance's channel.
    QLocalSocket probe;
    probe.connectToServer(name_);
    if (probe.waitForConnected(kHandOverTimeoutMs)) return false;  // another instance takes them
    QLocalServer::removeServer(name_);                           // one that ended left it behind
    return server_->listen(name_);
}

bool CShellOpenServer::IsListening() const { return server_->isListening(); }

void CShellOpenServer::Open(const QStringList& documents) {
    for (const QString& document : documents) frame_->OpenDocumentFile(document);
    if (documents.isEmpty()) return;
    frame_->raise();
    frame_->activateWindow();
}

void CShellOpenServer::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            const QStringList lines = QString::fromUtf8(socket->readAll()).split('\n', Qt::SkipEmptyParts);
            socket->deleteLater();
            Open(lines);
        });
    }
}
