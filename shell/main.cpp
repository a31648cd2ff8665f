// The desktop program: the application object does the start-up; this only runs its event loop.
#include <QApplication>
#include <clocale>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return app.exec();
}
