// The desktop program. Start-up opens no document, not even one named on the command line.
#include <csignal>

#include "shell/kestrum_app.h"

int main(int argc, char** argv) {
    // A write past the file-size limit fails and is reported instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    CKestrumApp app(argc, argv);
    if (!app.InitInstance()) return 1;
    return app.exec();
}
