// The desktop program. Start-up opens no document, not even one named on the command line;
// "--open FILE..." is the desktop's separate request to open documents (see shell_open.h).
#include <csignal>

#include <QDebug>
#include <QMessageBox>

#include "shell/instance_start_up.h"
#include "shell/kestrum_app.h"
#include "shell/main_frame.h"
#include "shell/shell_open.h"

int main(int argc, char** argv) {
    // A write past the file-size limit fails and is reported instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    CKestrumApp app(argc, argv);
    QString noChannel;
    const QString folder = CShellOpenServer::DefaultFolder(&noChannel);
    if (folder.isEmpty()) {
        qWarning().noquote() << "Kestrum: no private folder for the open requests (" + noChannel +
                                    "); each start opens its documents itself";
    }
    CInstanceStartUp startUp(folder, CShellOpenServer::kHandOverTimeoutMs);
    switch (startUp.Start(CShellOpenServer::DocumentsToOpen(app.arguments()),
                          [&app] { return app.InitInstance() ? app.MainFrame() : nullptr; })) {
        case CInstanceStartUp::Outcome::kHandedOver:
            return 0;
        case CInstanceStartUp::Outcome::kNotHandedOver:
            qWarning().noquote() << "Kestrum:" << startUp.Failure();
            QMessageBox::warning(nullptr, "Kestrum", startUp.Failure());
            return 1;
        case CInstanceStartUp::Outcome::kFailed:
            return 1;
        case CInstanceStartUp::Outcome::kStarted:
            break;
    }
    return app.exec();
}
