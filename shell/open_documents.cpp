#include "shell/open_documents.h"

#include <QFile>

#include "platform/file_identity.h"
#include "shell/kestrum_doc.h"

namespace {

file_identity::FileIdentity IdentityOf(const QString& path) {
    return file_identity::FileIdentity::Of(QFile::encodeName(path).toStdString());
}

}  // namespace

QList<CKestrumDoc*>& COpenDocuments::All() {
    static QList<CKestrumDoc*> documents;
    return documents;
}

void COpenDocuments::Add(CKestrumDoc* document) { All().append(document); }

void COpenDocuments::Remove(CKestrumDoc* document) { All().removeOne(document); }

// Each document's file is looked at now: a file replaced or deleted since it was opened counts
// as what its name stands for today, which is what the document's next save writes.
CKestrumDoc* COpenDocuments::Find(const QString& path, const CKestrumDoc* except) {
    const file_identity::FileIdentity wanted = IdentityOf(path);
    for (CKestrumDoc* document : All()) {
        if (document != except && !document->PathName().isEmpty() && IdentityOf(document->PathName()) == wanted) {
            return document;
        }
    }
    return nullptr;
}
