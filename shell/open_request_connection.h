// One request from a second start, as the running instance receives it: read in pieces as it
// arrives, answered, and taken only once the sender confirms; a sender that has gone, a request
// that is wrong or one that does not finish in time leaves nothing to open and no message box.
#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include "platform/open_request.h"

class QLocalSocket;

class COpenRequestConnection : public QObject {
    Q_OBJECT
public:
    // Takes socket over; the connection deletes itself once it has ended.
    COpenRequestConnection(QLocalSocket* socket, int timeoutMs, QObject* parent = nullptr);

Q_SIGNALS:
    // The sender has confirmed: the documents are the receiver's to open.
    void taken(const QStringList& documents);
    void ended();

private:
    void OnReadyRead();
    void Answer(char answer);
    void End();

    QLocalSocket* socket_;
    open_request::Reader reader_;
    QTimer timer_;
    bool answered_ = false;
    bool ended_ = false;
};
