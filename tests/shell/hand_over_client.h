// The sending side of a hand-over, run in a thread of its own while the test's thread keeps the
// receiving instance's event loop turning, as two processes would.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QLocalSocket>
#include <QString>
#include <QTest>
#include <atomic>
#include <functional>
#include <thread>

// Runs body in another thread; returns once it has ended (false when it had not after timeoutMs).
inline bool WhileTheLoopTurns(const std::function<void()>& body, int timeoutMs = 30000) {
    std::atomic<bool> done{false};
    std::thread sender([&] {
        body();
        done = true;
    });
    const bool ended = QTest::qWaitFor([&] { return done.load(); }, timeoutMs);
    sender.join();
    return ended;
}

// What a raw sender saw: the receiver's answer ("" when none came) and whether the receiver
// closed the connection (a sender without a commit leaves first).
struct RawReply {
    QByteArray answer;
    bool closedByReceiver = false;
};

// Sends bytes as they are; after kAccepted sends commit when it is not empty.
inline RawReply SendRaw(const QString& channel, const QByteArray& bytes, const QByteArray& commit) {
    RawReply reply;
    WhileTheLoopTurns([&] {
        QLocalSocket socket;
        socket.connectToServer(channel);
        if (!socket.waitForConnected(5000)) return;
        socket.write(bytes);
        while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(5000)) {
        }
        if (socket.waitForReadyRead(5000)) reply.answer = socket.read(1);
        if (commit.isEmpty()) {
            socket.disconnectFromServer();
            return;
        }
        if (reply.answer == "A") {
            socket.write(commit);
            socket.waitForBytesWritten(5000);
        }
        reply.closedByReceiver = socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(5000);
    });
    return reply;
}
