#include "shell/kestrum_app.h"

#include <QDebug>
#include <clocale>

#include "shell/document_type_registration.h"
#include "shell/main_frame.h"
#include "shell/qt_desktop.h"
#include "shell/splash_wnd.h"

CKestrumApp::CKestrumApp(int& argc, char** argv) : QApplication(argc, argv) {
    // Qt has switched to the user's locale; number texts must not follow a decimal comma.
    std::setlocale(LC_NUMERIC, "C");
    setApplicationName("Kestrum");
    setOrganizationName("Local AppWizard-Generated Applications");
    setWindowIcon(QIcon(":/kestrum/kestrum.svg"));
}

CKestrumApp::~CKestrumApp() = default;

bool CKestrumApp::ShowSplash(const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1)) {
        const QString flag = argument.mid(1);
        if ((argument.startsWith('/') || argument.startsWith('-')) &&
            (flag.compare("Embedding", Qt::CaseInsensitive) == 0 || flag.compare("Automation", Qt::CaseInsensitive) == 0)) {
            return false;
        }
    }
    return true;
}

bool CKestrumApp::InitInstance() {
    CSplashWnd::EnableSplashScreen(ShowSplash(arguments()));
    installEventFilter(this);
    mainFrame_ = std::make_unique<CMainFrame>();
    // The application ends with its main frame, whatever chart or network windows still show.
    setQuitOnLastWindowClosed(false);
    connect(mainFrame_.get(), &CMainFrame::frameClosed, this, &QCoreApplication::quit, Qt::QueuedConnection);
    InstallQtDesktop(mainFrame_.get());
    const doc_type::Result registered = doc_type::Register(doc_type::DefaultDataHome(), applicationFilePath());
    if (!registered.ok) qWarning().noquote() << "Kestrum: the document type is not registered:" << registered.error;
    // A file named on the command line is not opened: start-up opens no document.
    mainFrame_->ShowAtStartUp();
    return true;
}

bool CKestrumApp::eventFilter(QObject* watched, QEvent* event) {
    if (CSplashWnd::PreTranslateAppMessage(event)) return true;
    return QApplication::eventFilter(watched, event);
}
