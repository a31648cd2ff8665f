#include "shell/recent_files.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

constexpr char kSection[] = "Recent File List";

QString Key(int index) { return QString("File%1").arg(index + 1); }

}  // namespace

CRecentFileList::CRecentFileList() {
    QSettings settings(kOrganization, kApplication);
    settings.beginGroup(kSection);
    for (int i = 0; i < kSize; ++i) {
        const QString path = settings.value(Key(i)).toString();
        if (!path.isEmpty() && !files_.contains(path)) files_.append(path);
    }
}

QString CRecentFileList::Mnemonic(int index) {
    const int number = index + 1;
    if (number == 10) return QStringLiteral("1&0 ");
    return number < 10 ? QString("&%1 ").arg(number) : QString("%1 ").arg(number);
}

QString CRecentFileList::Abbreviated(const QString& path, int maxLength) {
    if (path.size() <= maxLength) return path;
    const QStringList parts = path.split('/');
    if (parts.size() < 3) return parts.last();
    // The first part ("" before the root's "/", or "~"), "...", then as many last parts as fit.
    QString tail = parts.last();
    const QString head = parts.first() + "/...";
    for (qsizetype i = parts.size() - 2; i > 0; --i) {
        const QString longer = parts[i] + "/" + tail;
        if (head.size() + 1 + longer.size() > maxLength) break;
        tail = longer;
    }
    const QString shortened = head + "/" + tail;
    return shortened.size() <= maxLength ? shortened : parts.last();
}

QStringList CRecentFileList::DisplayNames() const {
    QStringList names;
    for (const QString& path : files_) names << QFileInfo(path).fileName();
    const QString home = QDir::homePath() + "/";
    QStringList shown;
    for (qsizetype i = 0; i < files_.size(); ++i) {
        if (names.count(names[i]) == 1) {
            shown << names[i];
            continue;
        }
        QString path = files_[i];
        if (path.startsWith(home)) path = "~/" + path.mid(home.size());
        shown << Abbreviated(path, kMaxDisplayLength);
    }
    return shown;
}

void CRecentFileList::Add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files_.removeAll(absolute);
    files_.prepend(absolute);
    while (files_.size() > kSize) files_.removeLast();
    Save();
}

void CRecentFileList::Remove(const QString& path) {
    files_.removeAll(path);
    Save();
}

void CRecentFileList::Save() const {
    QSettings settings(kOrganization, kApplication);
    settings.beginGroup(kSection);
    settings.remove("");
    for (int i = 0; i < files_.size(); ++i) settings.setValue(Key(i), files_[i]);
}
