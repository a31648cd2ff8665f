#include "shell/open_request_connection.h"

#include <QDebug>
#include <QFile>
#include <QLocalSocket>

COpenRequestConnection::COpenRequestConnection(QLocalSocket* socket, int timeoutMs, QObject* parent)
    : QObject(parent), socket_(socket) {
    socket_->setParent(this);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &COpenRequestConnection::End);
    connect(socket_, &QLocalSocket::readyRead, this, &COpenRequestConnection::OnReadyRead);
    connect(socket_, &QLocalSocket::disconnected, this, &COpenRequestConnection::End);
    timer_.start(timeoutMs);
    // Bytes may have come with the connection itself.
    if (socket_->bytesAvailable() > 0) OnReadyRead();
}

void COpenRequestConnection::OnReadyRead() {
    if (ended_) return;
    const QByteArray bytes = socket_->readAll();
    if (bytes.isEmpty()) return;
    if (answered_) {
        if (bytes.size() == 1 && bytes.front() == open_request::kCommit) {
            QStringList documents;
            for (const std::string& path : reader_.Paths()) documents << QFile::decodeName(QByteArray::fromStdString(path));
            Q_EMIT taken(documents);
        }
        End();
        return;
    }
    switch (reader_.Take(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
        case open_request::Reader::State::kIncomplete:
            return;
        case open_request::Reader::State::kComplete:
            Answer(open_request::kAccepted);
            return;
        case open_request::Reader::State::kMalformed:
            qWarning().noquote() << "Kestrum: a request to open documents was refused:"
                                 << QString::fromStdString(reader_.Error());
            Answer(open_request::kRefused);
            End();
            return;
    }
}

void COpenRequestConnection::Answer(char answer) {
    answered_ = true;
    socket_->write(&answer, 1);
    socket_->flush();
}

void COpenRequestConnection::End() {
    if (ended_) return;
    ended_ = true;
    timer_.stop();
    disconnect(socket_, nullptr, this, nullptr);
    socket_->disconnectFromServer();
    Q_EMIT ended();
    deleteLater();
}
