// Opening documents at the desktop's request: "--open FILE..." opens them, in the instance that
// runs already when there is one; a plain file name opens nothing.
#include "app_harness.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLocalServer>
#include <QTemporaryDir>

#include "file_bytes.h"
#include "shell/child_frame.h"
#include "shell/kestrum_doc.h"
#include "shell/shell_open.h"

namespace {

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
    EXPECT_FALSE(CShellOpenServer::HandToRunningInstance(name, {dir.filePath("one.NNProg")}));  // nobody listens

    CShellOpenServer server(&shown.frame, name);
    ASSERT_TRUE(server.Listen());
    CShellOpenServer second(&shown.frame, name);
    EXPECT_FALSE(second.Listen());  // the channel is taken by a live instance
    EXPECT_TRUE(CShellOpenServer::HandToRunningInstance(name, {dir.filePath("one.NNProg"), dir.filePath("two.NNProg")}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.frame.ChildFrames().size() == 2; }, 5000));
    QStringList opened;
    for (CChildFrame* frame : shown.frame.ChildFrames()) opened << frame->Document()->PathName();
    opened.sort();
    EXPECT_EQ(opened, QStringList({dir.filePath("one.NNProg"), dir.filePath("two.NNProg")}));
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

}  // namespace
