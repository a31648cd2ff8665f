#include "shell/recent_files.h"

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
