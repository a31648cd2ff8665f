// Every document that exists, found by the file it names: one file, under whatever name (a
// symbolic link to it, a linked folder, "..", a hard link), belongs to one document at a time, so
// that saving one document never silently replaces another's saved edits.
#pragma once

#include <QList>
#include <QString>

class CKestrumDoc;

class COpenDocuments {
public:
    static void Add(CKestrumDoc* document);
    static void Remove(CKestrumDoc* document);
    // The document other than except whose file path names, or nullptr.
    static CKestrumDoc* Find(const QString& path, const CKestrumDoc* except = nullptr);

private:
    static QList<CKestrumDoc*>& All();
};
