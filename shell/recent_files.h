// The recent-file list: the last 10 documents opened or saved, newest first, kept in the user's
// settings under "Local AppWizard-Generated Applications".
#pragma once

#include <QStringList>

class CRecentFileList {
public:
    static constexpr int kSize = 10;
    static constexpr char kOrganization[] = "Local AppWizard-Generated Applications";
    static constexpr char kApplication[] = "Kestrum";

    CRecentFileList();

    // The menu item's number with its mnemonic and a blank: "&1 " .. "&9 ", then "1&0 ".
    static QString Mnemonic(int index);

    // Puts path first (once); the oldest beyond kSize go. Saved at once.
    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& Files() const { return files_; }

private:
    void Save() const;

    QStringList files_;
};
