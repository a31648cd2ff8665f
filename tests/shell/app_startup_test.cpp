// Start-up: the main frame's first size, the splash, the About box, the recent files and the
// registration of the document type with the user's desktop.
#include "app_harness.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "shell/about_dlg.h"
#include "shell/document_type_registration.h"
#include "shell/kestrum_app.h"
#include "shell/recent_files.h"
#include "shell/splash_wnd.h"
#include "windows/dialog_units.h"

namespace {

TEST(AppStartupTest, MainFrameStartsAtItsShareOfTheScreenCentred) {
    EXPECT_EQ(CMainFrame::InitialGeometry(QRect(0, 0, 1600, 1200)), QRect(60, 105, 1480, 990));
    EXPECT_EQ(CMainFrame::InitialGeometry(QRect(0, 0, 1024, 768)), QRect(38, 67, 947, 633));
}

TEST(AppStartupTest, StartingOpensNoDocument) {
    ShownMainFrame shown;
    EXPECT_TRUE(shown.frame.ChildFrames().isEmpty());
    EXPECT_FALSE(shown.frame.EditMenu()->menuAction()->isVisible());
    EXPECT_TRUE(CKestrumApp::ShowSplash({"kestrum", "examples/a.NNProg"}));
    EXPECT_FALSE(CKestrumApp::ShowSplash({"kestrum", "/Embedding"}));
    EXPECT_FALSE(CKestrumApp::ShowSplash({"kestrum", "-automation"}));
}

TEST(AppStartupTest, SplashSwallowsTheFirstPressOnly) {
    ShownMainFrame shown;
    CSplashWnd::EnableSplashScreen(true);
    CSplashWnd::ShowSplashScreen(&shown.frame);
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_TRUE(CSplashWnd::PreTranslateAppMessage(&press));
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    EXPECT_FALSE(CSplashWnd::PreTranslateAppMessage(&press));
    QEvent paint(QEvent::Paint);
    EXPECT_FALSE(CSplashWnd::PreTranslateAppMessage(&paint));
    EXPECT_EQ(CSplashWnd::kTimeoutMs, 140000);
}

TEST(AppStartupTest, AboutBoxHelpSiteLeavesItOpen) {
    RecordingDesktop desktop;
    CAboutDlg about;
    about.show();
    QSignalSpy spy(&about, &CAboutDlg::helpSiteRequested);
    about.HelpSiteButton()->click();
    QTest::keyClick(&about, Qt::Key_Return);
    EXPECT_EQ(spy.count(), 2);
    EXPECT_TRUE(about.isVisible());
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.windowTitle(), "About Kestrum");
}

TEST(AppStartupTest, DialogUnitsOfTheShellDialogFont) {
    const DialogUnits du(QFont("MS Shell Dlg", 8));
    EXPECT_EQ(du.Rect(37, 3, 152, 12), QRect(55, 4, 228, 19));
}

TEST(AppStartupTest, RecentFilesKeepTenNewestFirst) {
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    {
        CRecentFileList recent;
        for (int i = 0; i < 12; ++i) recent.Add(QString("/docs/%1.NNProg").arg(i));
        recent.Add("/docs/5.NNProg");
    }
    const CRecentFileList reloaded;
    ASSERT_EQ(reloaded.Files().size(), CRecentFileList::kSize);
    EXPECT_EQ(reloaded.Files().front(), "/docs/5.NNProg");
    EXPECT_EQ(reloaded.Files().back(), "/docs/2.NNProg");
    QSettings settings(CRecentFileList::kOrganization, CRecentFileList::kApplication);
    EXPECT_EQ(settings.value("Recent File List/File1").toString(), "/docs/5.NNProg");
}

// Two tests in order: what the first leaves in the settings the second does not find, also when
// both run in one process.
TEST(AppStartupTest, ATestLeavesRecentFilesBehind) {
    {
        CRecentFileList recent;
        recent.Add("/docs/left.NNProg");
    }
    EXPECT_FALSE(QSettings(CRecentFileList::kOrganization, CRecentFileList::kApplication).allKeys().isEmpty());
}

TEST(AppStartupTest, TheNextTestStartsWithoutThem) {
    EXPECT_EQ(QSettings(CRecentFileList::kOrganization, CRecentFileList::kApplication).allKeys(), QStringList());
    ShownMainFrame shown;
    EXPECT_EQ(shown.frame.RecentFiles().Files(), QStringList());
}

TEST(AppStartupTest, DocumentTypeRegistrationIsIdempotentAndNeverFatal) {
    QTemporaryDir home;
    const doc_type::Result first = doc_type::Register(home.path(), "/opt/kes trum/kestrum");
    EXPECT_TRUE(first.ok) << first.error.toStdString();
    EXPECT_EQ(first.filesWritten, 3);
    QFile entry(home.filePath("applications/kestrum.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QByteArray text = entry.readAll();
    EXPECT_TRUE(text.contains("Exec=\"/opt/kes trum/kestrum\" --open %F\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("MimeType=application/x-kestrum-document;"));
    EXPECT_TRUE(QFile::exists(home.filePath("mime/packages/kestrum.xml")));
    EXPECT_EQ(doc_type::Register(home.path(), "/opt/kes trum/kestrum").filesWritten, 0);

    QFile blocker(home.filePath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where a folder must go
    const doc_type::Result failed = doc_type::Register(home.filePath("blocked"), "/bin/kestrum");
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.error.isEmpty());
}

// Sets or unsets (nullptr) an environment variable for the object's life.
class EnvironmentVariable {
public:
    EnvironmentVariable(const char* name, const char* value) : name_(name), had_(qEnvironmentVariableIsSet(name)) {
        old_ = qgetenv(name);
        if (value == nullptr) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    }
    ~EnvironmentVariable() {
        if (had_) {
            qputenv(name_, old_);
        } else {
            qunsetenv(name_);
        }
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

TEST(AppStartupTest, DocumentTypeRegistrationNeedsAHome) {
    const struct {
        const char* home;
        const char* xdg;
        QString dataHome;
    } cases[] = {
        {nullptr, nullptr, QString()},
        {"", "", QString()},
        {nullptr, "relative/share", QString()},
        {"/home/u", nullptr, "/home/u/.local/share"},
        {"/home/u", "/data/share", "/data/share"},
        {nullptr, "/data/share", "/data/share"},
    };
    for (const auto& c : cases) {
        const EnvironmentVariable home("HOME", c.home);
        const EnvironmentVariable xdg("XDG_DATA_HOME", c.xdg);
        EXPECT_EQ(doc_type::DefaultDataHome(), c.dataHome) << (c.home ? c.home : "(unset)") << " " << (c.xdg ? c.xdg : "(unset)");
    }
    const doc_type::Result skipped = doc_type::Register(QString(), "/bin/kestrum");
    EXPECT_FALSE(skipped.ok);
    EXPECT_EQ(skipped.filesWritten, 0);
    EXPECT_TRUE(skipped.error.contains("HOME")) << skipped.error.toStdString();
}

}  // namespace
