#include "shell/document_open_queue.h"

#include <QStatusBar>
#include <QTimer>

#include "shell/main_frame.h"

CDocumentOpenQueue::CDocumentOpenQueue(CMainFrame* frame, QObject* parent) : QObject(parent), frame_(frame) {}

QString CDocumentOpenQueue::Summary(int opened, int requested) {
    if (opened == requested) return QString("Opened %1 documents.").arg(opened);
    return QString("Opened %1 of %2 documents.").arg(opened).arg(requested);
}

void CDocumentOpenQueue::Add(const QStringList& documents) {
    if (documents.isEmpty()) return;
    pending_ += documents;
    requested_ += static_cast<int>(documents.size());
    if (!scheduled_) {
        scheduled_ = true;
        // The last batch's count is no news about this one (a single document shows none).
        if (frame_->statusBar()->currentMessage() == summary_) frame_->statusBar()->clearMessage();
        Bring();
        QTimer::singleShot(0, this, &CDocumentOpenQueue::OpenNext);
    }
}

// The next turn is asked for only after this document is open: a message box it shows runs
// its own event loop, in which no other document may start to open.
void CDocumentOpenQueue::OpenNext() {
    const QString document = pending_.takeFirst();
    if (frame_->OpenDocumentFile(document) != nullptr) ++opened_;
    const int done = requested_ - Pending();
    if (!pending_.isEmpty()) {
        frame_->statusBar()->showMessage(QString("Opening documents: %1 of %2...").arg(done).arg(requested_));
        QTimer::singleShot(0, this, &CDocumentOpenQueue::OpenNext);
        return;
    }
    if (requested_ > 1) {
        summary_ = Summary(opened_, requested_);
        frame_->statusBar()->showMessage(summary_);
    }
    const int opened = opened_;
    const int requested = requested_;
    scheduled_ = false;
    opened_ = 0;
    requested_ = 0;
    Bring();
    Q_EMIT finished(opened, requested);
}

void CDocumentOpenQueue::Bring() {
    frame_->raise();
    frame_->activateWindow();
}
