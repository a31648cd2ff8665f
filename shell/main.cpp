// The desktop program. Start-up opens no document, not even one named on the command line.
#include "shell/kestrum_app.h"

int main(int argc, char** argv) {
    CKestrumApp app(argc, argv);
    if (!app.InitInstance()) return 1;
    return app.exec();
}
