// The desktop program. Start-up opens no document, not even one named on the command line;
// "--open FILE..." is the desktop's separate request to open documents (see shell_open.h).
#include <csignal>

#include <QTimer>

#include "shell/kestrum_app.h"
#include "shell/shell_open.h"

int main(int argc, char** argv) {
    // A write past the file-size limit fails and is reported instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    CKestrumApp app(argc, argv);
    const QStringList documents = CShellOpenServer::DocumentsToOpen(app.arguments());
    if (!documents.isEmpty() && CShellOpenServer::HandToRunningInstance(CShellOpenServer::DefaultName(), documents)) {
        return 0;
    }
    if (!app.InitInstance()) return 1;
    CShellOpenServer shellOpen(app.MainFrame(), CShellOpenServer::DefaultName());
    shellOpen.Listen();
    QTimer::singleShot(0, &shellOpen, [&shellOpen, &documents] { shellOpen.Open(documents); });
    return app.exec();
}
