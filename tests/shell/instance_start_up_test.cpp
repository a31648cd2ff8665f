// Start-up with documents to open: exactly one instance takes the user's requests, a second
// start hands its documents to it, and one file under two names (a linked folder, a link to the
// file) is one document, whichever way it comes: Open, the recent files, a drop, a hand-over.
#include "app_harness.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QUrl>
#include <sys/stat.h>
#include <unistd.h>

#include "file_bytes.h"
#include "hand_over_client.h"
#include "shell/child_frame.h"
#include "shell/document_open_queue.h"
#include "shell/instance_start_up.h"
#include "shell/kestrum_doc.h"
#include "shell/shell_open.h"

namespace {

// A folder with real/x.NNProg, lnk (a link to real) and file-link.NNProg (a link to the file).
struct LinkedFolder {
    QTemporaryDir dir;
    LinkedFolder() {
        QDir(dir.path()).mkdir("real");
        Write(dir.filePath("real/x.NNProg"), "Println 1");
        Write(dir.filePath("real/y.NNProg"), "Println 2");
        QFile::link(dir.filePath("real"), dir.filePath("lnk"));
        QFile::link(dir.filePath("real/x.NNProg"), dir.filePath("file-link.NNProg"));
        ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    }
    QString Path(const char* name) const { return dir.filePath(name); }
};

CMainFrame* NoFrame() {
    ADD_FAILURE() << "a start that hands its documents over makes no main frame";
    return nullptr;
}

TEST(InstanceStartUpTest, OneFileUnderTwoNamesIsOneDocumentWhicheverWayItComes) {
    LinkedFolder folder;
    const struct {
        const char* way;
        std::function<void(CMainFrame&, const QString&)> open;
    } ways[] = {
        {"Open", [](CMainFrame& frame, const QString& path) { frame.OpenDocumentFile(path); }},
        {"a drop",
         [](CMainFrame& frame, const QString& path) {
             QMimeData data;
             data.setUrls({QUrl::fromLocalFile(path)});
             QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(&frame, &enter);
             QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(&frame, &drop);
         }},
        {"the recent files",
         [](CMainFrame& frame, const QString& path) {
             const_cast<CRecentFileList&>(frame.RecentFiles()).Add(path);
             frame.OpenDocumentFile(frame.RecentFiles().Files().front());
         }},
    };
    for (const auto& way : ways) {
        for (const char* other : {"lnk/x.NNProg", "file-link.NNProg", "lnk/../real/x.NNProg"}) {
            ShownMainFrame shown;
            CChildFrame* first = shown.frame.OpenDocumentFile(folder.Path("real/x.NNProg"));
            ASSERT_NE(first, nullptr);
            way.open(shown.frame, folder.Path(other));
            EXPECT_EQ(shown.frame.ChildFrames().size(), 1) << way.way << " " << other;
            EXPECT_EQ(shown.frame.ActiveChildFrame(), first) << way.way << " " << other;
            way.open(shown.frame, folder.Path("lnk/y.NNProg"));
            EXPECT_EQ(shown.frame.ChildFrames().size(), 2) << way.way << ": another file is another document";
        }
    }
}

// The start-up of two instances in one test: the first listens and opens its document, the
// second (in a thread of its own, as another process) hands over the same file by another name.
TEST(InstanceStartUpTest, TheSecondStartHandsOverAndTheFileOpensOnce) {
    LinkedFolder folder;
    ShownMainFrame shown;
    CInstanceStartUp first(folder.Path(""), 5000);
    ASSERT_EQ(first.Start({folder.Path("real/x.NNProg")}, [&] { return &shown.frame; }),
              CInstanceStartUp::Outcome::kStarted);
    ASSERT_NE(first.Server(), nullptr);
    EXPECT_TRUE(first.Server()->IsListening());
    QSignalSpy finished(first.Server()->Queue(), &CDocumentOpenQueue::finished);

    CInstanceStartUp::Outcome second = CInstanceStartUp::Outcome::kFailed;
    ASSERT_TRUE(WhileTheLoopTurns([&] {
        CInstanceStartUp start(folder.Path(""), 5000);
        second = start.Start({folder.Path("lnk/x.NNProg"), folder.Path("file-link.NNProg")}, NoFrame);
    }));
    EXPECT_EQ(second, CInstanceStartUp::Outcome::kHandedOver);
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 2; }, 10000));
    ASSERT_EQ(shown.frame.ChildFrames().size(), 1);
    EXPECT_EQ(shown.frame.ChildFrames().front()->Document()->PathName(), folder.Path("real/x.NNProg"));
    EXPECT_EQ(shown.frame.statusBar()->currentMessage(), "Opened 2 documents.");

    // A plain start beside it runs as an instance of its own that does not listen.
    ShownMainFrame plain;
    CInstanceStartUp third(folder.Path(""), 5000);
    EXPECT_EQ(third.Start({}, [&] { return &plain.frame; }), CInstanceStartUp::Outcome::kStarted);
    EXPECT_FALSE(third.Server()->IsListening());
    EXPECT_TRUE(first.Server()->IsListening());
}

// An instance that holds the lock but does not answer: the second start gives up, says why, and
// the first, once it goes on, opens nothing of it. Without a private folder, every start opens
// its documents itself.
TEST(InstanceStartUpTest, AStartThatCannotHandOverSaysSoOrOpensItsOwn) {
    LinkedFolder folder;
    ShownMainFrame shown;
    CInstanceStartUp first(folder.Path(""), 5000);
    ASSERT_EQ(first.Start({}, [&] { return &shown.frame; }), CInstanceStartUp::Outcome::kStarted);
    CInstanceStartUp second(folder.Path(""), 300);
    std::thread([&] {
        EXPECT_EQ(second.Start({folder.Path("real/y.NNProg")}, NoFrame), CInstanceStartUp::Outcome::kNotHandedOver);
    }).join();
    EXPECT_TRUE(second.Failure().contains("did not take the documents (it did not answer within 0.3 seconds)"))
        << second.Failure().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.Server()->Connections() == 0; }, 5000));
    QTest::qWait(50);
    EXPECT_TRUE(shown.frame.ChildFrames().isEmpty());

    ShownMainFrame alone;
    CInstanceStartUp noChannel(QString(), 300);
    EXPECT_EQ(noChannel.Start({folder.Path("real/y.NNProg")}, [&] { return &alone.frame; }),
              CInstanceStartUp::Outcome::kStarted);
    EXPECT_FALSE(noChannel.Server()->IsListening());
    ASSERT_TRUE(QTest::qWaitFor([&] { return alone.frame.ChildFrames().size() == 1; }, 5000));
}

// Without a session folder the channel's folder is the program's own in the temporary folder,
// made private; one that another user could reach (or made first) is never used.
TEST(InstanceStartUpTest, TheChannelIsOnlyEverInAFolderPrivateToTheUser) {
    QTemporaryDir temp;
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    const QString own = temp.filePath(QString("kestrum-%1").arg(::getuid()));
    QString why;
    EXPECT_EQ(CShellOpenServer::DefaultFolder(&why), own) << why.toStdString();
    EXPECT_EQ(QFileInfo(own).permissions() & 0x0077, 0) << "no access for the group or others";
    ::chmod(QFile::encodeName(own).constData(), 0777);  // as if another user could have put a socket there
    EXPECT_EQ(CShellOpenServer::DefaultFolder(&why), QString());
    EXPECT_TRUE(why.contains("open to other users")) << why.toStdString();
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
    qputenv("TMPDIR", oldTemp);
    if (oldRuntime.isNull()) qunsetenv("XDG_RUNTIME_DIR");
    if (oldTemp.isNull()) qunsetenv("TMPDIR");
}

// Two real starts of the program at the same moment, each with the same file by another name:
// one stays and listens, the other hands over and ends.
TEST(InstanceStartUpTest, TwoProgramsStartedTogetherMakeOneInstance) {
    const QString program = QCoreApplication::applicationDirPath() + "/../shell/kestrum";
    if (!QFileInfo(program).isExecutable()) GTEST_SKIP() << "no kestrum program beside the tests";
    for (int round = 0; round < 3; ++round) {
        LinkedFolder folder;
        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_RUNTIME_DIR", folder.Path(""));
        environment.insert("HOME", home.path());
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        environment.insert("XDG_DATA_HOME", home.filePath("data"));
        QProcess a;
        QProcess b;
        for (QProcess* process : {&a, &b}) process->setProcessEnvironment(environment);
        a.start(program, {"--open", folder.Path("real/x.NNProg")});
        b.start(program, {"--open", folder.Path("lnk/x.NNProg")});
        ASSERT_TRUE(a.waitForStarted(5000) && b.waitForStarted(5000));
        const auto ended = [](QProcess& process) { return process.state() == QProcess::NotRunning; };
        ASSERT_TRUE(QTest::qWaitFor([&] { return ended(a) || ended(b); }, 20000)) << "round " << round;
        QTest::qWait(500);
        QProcess& gone = ended(a) ? a : b;
        QProcess& staying = ended(a) ? b : a;
        EXPECT_EQ(gone.exitCode(), 0) << "round " << round << ": " << gone.readAllStandardError().toStdString();
        EXPECT_FALSE(ended(staying)) << "round " << round << ": exactly one instance stays";
        staying.kill();
        staying.waitForFinished(5000);
    }
}

}  // namespace
