#include "shell/document_type_registration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "windows/atomic_save.h"

namespace doc_type {
namespace {

QByteArray Resource(const QString& name) {
    QFile file(":/kestrum/" + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The installed entry starts "kestrum" from the PATH; the user's entry starts this very program.
QByteArray DesktopEntry(const QString& program) {
    QString exec = program;
    exec.replace("%", "%%");
    exec.replace("\\", "\\\\\\\\").replace("\"", "\\\\\"").replace("`", "\\\\`").replace("$", "\\\\$");
    QString entry = QString::fromUtf8(Resource("kestrum.desktop"));
    entry.replace("Exec=kestrum ", QString("Exec=\"%1\" ").arg(exec));
    return entry.toUtf8();
}

// Writes content to path unless it holds exactly that already. false with error on failure.
bool WriteIfChanged(const QString& path, const QByteArray& content, bool& written, QString& error) {
    written = false;
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content) return true;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        error = "cannot create " + QFileInfo(path).absolutePath();
        return false;
    }
    QString why;
    if (!SaveBytesAtomically(path, content, &why)) {
        error = "cannot write " + path + ": " + why;
        return false;
    }
    written = true;
    return true;
}

}  // namespace

QString DefaultDataHome() {
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (QDir::isAbsolutePath(xdg)) return xdg;
    // Not QDir::homePath(): it answers "/" without a HOME.
    const QString home = qEnvironmentVariable("HOME");
    return home.isEmpty() ? QString() : home + "/.local/share";
}

Result Register(const QString& dataHome, const QString& program) {
    Result result;
    if (dataHome.isEmpty()) {
        result.ok = false;
        result.error = "there is no home folder (neither HOME nor XDG_DATA_HOME is set), so it is skipped";
        return result;
    }
    struct Entry {
        QString path;
        QByteArray content;
        const char* refresh;  // the tool that rebuilds a cache when the file changed, and its folder
        QString refreshFolder;
    };
    const Entry entries[] = {
        {dataHome + "/mime/packages/kestrum.xml", Resource("kestrum-mime.xml"), "update-mime-database", dataHome + "/mime"},
        {dataHome + "/applications/kestrum.desktop", DesktopEntry(program), "update-desktop-database",
         dataHome + "/applications"},
        {dataHome + "/icons/hicolor/scalable/apps/kestrum.svg", Resource("kestrum.svg"), nullptr, QString()},
    };
    for (const Entry& entry : entries) {
        bool written = false;
        if (entry.content.isEmpty() || !WriteIfChanged(entry.path, entry.content, written, result.error)) {
            if (result.error.isEmpty()) result.error = "no content for " + entry.path;
            result.ok = false;
            return result;
        }
        if (!written) continue;
        ++result.filesWritten;
        // Detached: start-up never waits for it, and a missing tool only leaves the cache old.
        if (entry.refresh != nullptr) QProcess::startDetached(entry.refresh, {entry.refreshFolder});
    }
    return result;
}

}  // namespace doc_type
