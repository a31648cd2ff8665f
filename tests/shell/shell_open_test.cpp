// Opening documents at the desktop's request: "--open FILE..." opens them, in the instance that
// runs already when there is one; a plain file name opens nothing. What reaches that instance
// is a request it reads whole before it answers: a wrong one opens nothing and shows nothing.
#include "app_harness.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

#include "file_bytes.h"
#include "hand_over_client.h"
#include "shell/child_frame.h"
#include "shell/document_open_queue.h"
#include "shell/kestrum_doc.h"
#include "shell/shell_open.h"

namespace {

QStringList OpenedPaths(const CMainFrame& frame) {
    QStringList opened;
    for (CChildFrame* child : frame.ChildFrames()) opened << child->Document()->PathName();
    opened.sort();
    return opened;
}

// Closes every message box that comes up while it lives, and counts them.
class BoxCounter {
public:
    BoxCounter() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                ++count;
                box->done(QMessageBox::Ok);
            }
        });
        timer_.start(10);
    }
    int count = 0;

private:
    QTimer timer_;
};

QByteArray Number(quint32 value) {
    return QByteArray(1, char(value >> 24)) + char(value >> 16) + char(value >> 8) + char(value);
}

QByteArray Request(const QStringList& paths) {
    QByteArray bytes = "KOPN" + Number(quint32(paths.size()));
    for (const QString& path : paths) bytes += Number(quint32(QFile::encodeName(path).size())) + QFile::encodeName(path);
    return bytes;
}

// count small documents in dir.
QStringList WriteDocuments(const QTemporaryDir& dir, int count) {
    QStringList documents;
    for (int i = 0; i < count; ++i) {
        documents << dir.filePath(QString("doc%1.NNProg").arg(i));
        Write(documents.back(), "Println 1");
    }
    return documents;
}

TEST(ShellOpenTest, OnlyTheOpenOptionNamesDocuments) {
    const QString here = QDir::currentPath();
    const struct {
        QStringList arguments;
        QStringList documents;
    } cases[] = {
        {{"kestrum"}, {}},
        {{"kestrum", "a.NNProg"}, {}},
        {{"kestrum", "--open"}, {}},
        {{"kestrum", "--open", "a.NNProg", "/x/b c.NNProg"}, {here + "/a.NNProg", "/x/b c.NNProg"}},
        {{"kestrum", "-Embedding", "--open", "a.NNProg"}, {here + "/a.NNProg"}},
        {{"--open", "kestrum"}, {}},  // the program's own name is no option
        // The option given again names no file; a file of that name is "./--open".
        {{"kestrum", "--open", "a.NNProg", "--open", "b.NNProg"}, {here + "/a.NNProg", here + "/b.NNProg"}},
        {{"kestrum", "--open", "--open", "./--open"}, {here + "/--open"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CShellOpenServer::DocumentsToOpen(c.arguments), c.documents) << c.arguments.join(' ').toStdString();
    }
}

TEST(ShellOpenTest, ASecondStartHandsItsDocumentsToTheRunningInstance) {
    ShownMainFrame shown;
    QTemporaryDir dir;
    Write(dir.filePath("one.NNProg"), "Println 1");
    Write(dir.filePath("two.NNProg"), "Println 2");
    const QString name = dir.filePath("channel");
    QString why;
    EXPECT_FALSE(CShellOpenServer::HandToRunningInstance(name, {dir.filePath("one.NNProg")}, 300, &why));  // nobody listens
    EXPECT_TRUE(why.contains("did not answer")) << why.toStdString();

    CShellOpenServer server(&shown.frame, name);
    ASSERT_TRUE(server.Listen());
    CShellOpenServer second(&shown.frame, name);
    EXPECT_FALSE(second.Listen());  // the channel is taken by a live instance
    bool handed = false;
    ASSERT_TRUE(WhileTheLoopTurns([&] {
        handed = CShellOpenServer::HandToRunningInstance(name, {dir.filePath("one.NNProg"), dir.filePath("two.NNProg")});
    }));
    EXPECT_TRUE(handed);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.frame.ChildFrames().size() == 2; }, 5000));
    EXPECT_EQ(OpenedPaths(shown.frame), QStringList({dir.filePath("one.NNProg"), dir.filePath("two.NNProg")}));
}

TEST(ShellOpenTest, AChannelLeftByAnEndedInstanceIsTakenOver) {
    ShownMainFrame shown;
    QTemporaryDir dir;
    const QString name = dir.filePath("channel");
    Write(name, "");  // what a crashed instance leaves: a socket file nobody listens on
    CShellOpenServer server(&shown.frame, name);
    EXPECT_TRUE(server.Listen());
    EXPECT_TRUE(server.IsListening());
}

// What the receiver makes of the bytes a sender writes: only a whole request, answered and then
// confirmed, opens documents, exactly those it names; nothing else opens one or shows a box.
TEST(ShellOpenTest, OnlyAWholeConfirmedRequestOpensDocuments) {
    QTemporaryDir dir;
    Write(dir.filePath("y.NNProg"), "Println 1");
    Write(dir.filePath("x\ny.NNProg"), "Println 2");
    Write(dir.filePath("plain.NNProg"), "Println 3");
    QByteArray random(5000, 0);
    for (char& byte : random) byte = char(QRandomGenerator::global()->bounded(256));
    const QByteArray lines = (dir.filePath("plain.NNProg") + "\n" + dir.filePath("y.NNProg") + "\n").toUtf8();
    // Refused on its length, before the path has come.
    const QByteArray longPath = "KOPN" + Number(1) + Number(2 << 20) + QByteArray(4096, 'p');
    const struct {
        const char* what;
        QByteArray bytes;
        QByteArray commit;
        QByteArray answer;
        QStringList opened;
    } cases[] = {
        {"a path with a line break", Request({dir.filePath("x\ny.NNProg")}), "C", "A", {dir.filePath("x\ny.NNProg")}},
        {"two paths", Request({dir.filePath("plain.NNProg"), dir.filePath("y.NNProg")}), "C",
         "A", {dir.filePath("plain.NNProg"), dir.filePath("y.NNProg")}},
        {"no confirmation: the sender has gone", Request({dir.filePath("plain.NNProg")}), "", "A", {}},
        {"a wrong confirmation", Request({dir.filePath("plain.NNProg")}), "CC", "A", {}},
        {"5,000 random bytes", random, "C", "R", {}},
        {"paths one per line", lines, "C", "R", {}},
        {"one path of 2 MB", longPath, "C", "R", {}},
        {"a relative path", Request({"plain.NNProg"}), "C", "R", {}},
    };
    for (const auto& c : cases) {
        ShownMainFrame shown;
        CShellOpenServer server(&shown.frame, dir.filePath("channel"));
        ASSERT_TRUE(server.Listen()) << c.what;
        BoxCounter boxes;
        const RawReply reply = SendRaw(dir.filePath("channel"), c.bytes, c.commit);
        EXPECT_EQ(reply.answer, c.answer) << c.what;
        EXPECT_EQ(reply.closedByReceiver, !c.commit.isEmpty()) << c.what;
        ASSERT_TRUE(QTest::qWaitFor([&] { return server.Connections() == 0 && server.Queue()->Pending() == 0; }, 5000))
            << c.what;
        if (!c.opened.isEmpty()) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.frame.ChildFrames().isEmpty(); }, 5000)) << c.what;
        }
        QTest::qWait(50);
        EXPECT_EQ(OpenedPaths(shown.frame), c.opened) << c.what;
        EXPECT_EQ(boxes.count, 0) << c.what;
    }
}

// A receiver that does not answer in time (stopped, or busy): the sender gives up and says so,
// and the receiver, once it goes on, opens nothing of what it got.
TEST(ShellOpenTest, AHandOverIsAllOrNothing) {
    ShownMainFrame shown;
    QTemporaryDir dir;
    const QStringList documents = WriteDocuments(dir, 954);
    const QString name = dir.filePath("channel");
    CShellOpenServer server(&shown.frame, name);
    ASSERT_TRUE(server.Listen());
    QString why;
    bool handed = true;
    std::thread sender([&] { handed = CShellOpenServer::HandToRunningInstance(name, documents, 500, &why); });
    sender.join();  // this thread, the receiver's, was stopped meanwhile
    EXPECT_FALSE(handed);
    EXPECT_TRUE(why.contains("did not answer within 0.5 seconds")) << why.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.Connections() == 0; }, 5000));
    QTest::qWait(100);
    EXPECT_TRUE(shown.frame.ChildFrames().isEmpty());
    EXPECT_EQ(server.Queue()->Pending(), 0);
}

// Many documents at once open one per turn of the event loop, and the status bar says how
// many opened.
TEST(ShellOpenTest, ManyDocumentsOpenOneAfterAnotherAndTheCountIsShown) {
    QTemporaryDir dir;
    const QStringList documents = WriteDocuments(dir, 12);
    const struct {
        const char* what;
        QStringList documents;
        int opened;
        QString says;
    } cases[] = {
        {"all of them", documents, 12, "Opened 12 documents."},
        {"one missing", QStringList(documents.mid(0, 3)) << dir.filePath("missing.NNProg"), 3, "Opened 3 of 4 documents."},
    };
    for (const auto& c : cases) {
        ShownMainFrame frame;
        CShellOpenServer server(&frame.frame, QString());
        BoxCounter boxes;
        QSignalSpy finished(server.Queue(), &CDocumentOpenQueue::finished);
        server.Open(c.documents);
        EXPECT_TRUE(frame.frame.ChildFrames().isEmpty()) << c.what << ": nothing opens before the loop turns";
        ASSERT_TRUE(QTest::qWaitFor([&] { return !frame.frame.ChildFrames().isEmpty(); }, 5000)) << c.what;
        EXPECT_LT(frame.frame.ChildFrames().size(), c.opened) << c.what << ": not all in one turn";
        ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 20000)) << c.what;
        EXPECT_EQ(frame.frame.ChildFrames().size(), c.opened) << c.what;
        EXPECT_EQ(finished.front().at(0).toInt(), c.opened) << c.what;
        EXPECT_EQ(frame.frame.statusBar()->currentMessage(), c.says) << c.what;
        EXPECT_EQ(boxes.count, int(c.documents.size()) - c.opened) << c.what << ": a box for the missing one";
        // A later request for one document leaves no count of the earlier batch behind.
        server.Open({documents.back()});
        ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 2; }, 5000)) << c.what;
        EXPECT_EQ(frame.frame.statusBar()->currentMessage(), "Ready") << c.what;
    }
}

}  // namespace
