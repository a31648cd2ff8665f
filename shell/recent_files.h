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

    // Longest shortened path a display name keeps whole.
    static constexpr int kMaxDisplayLength = 30;

    // The menu item's number with its mnemonic and a blank: "&1 " .. "&9 ", then "1&0 ".
    static QString Mnemonic(int index);
    // What the menu shows of each file, in order: its file name where no other entry has the same
    // one, otherwise its path ("~" for the home folder) with the middle folders left out beyond
    // kMaxDisplayLength characters ("~/.../folder/name").
    QStringList DisplayNames() const;
    // path with folders between its first and its last ones replaced by "..." until it is at most
    // maxLength long; the file name alone when even that is too long.
    static QString Abbreviated(const QString& path, int maxLength);

    // Puts path first (once); the oldest beyond kSize go. Saved at once.
    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& Files() const { return files_; }

private:
    void Save() const;

    QStringList files_;
};
