// Documents asked for together (a desktop's "--open" of many files) open one per turn of the
// event loop, so that the window keeps answering however many there are; the status bar shows
// how far it has got and then how many opened.
#pragma once

#include <QObject>
#include <QStringList>

class CMainFrame;

class CDocumentOpenQueue : public QObject {
    Q_OBJECT
public:
    explicit CDocumentOpenQueue(CMainFrame* frame, QObject* parent = nullptr);

    // Adds documents after those still waiting; the first opens on the next turn.
    void Add(const QStringList& documents);
    int Pending() const { return static_cast<int>(pending_.size()); }
    // What the status bar says when a batch of requested documents has been opened.
    static QString Summary(int opened, int requested);

Q_SIGNALS:
    // Every document asked for has had its turn.
    void finished(int opened, int requested);

private:
    void OpenNext();
    void Bring();

    CMainFrame* frame_;
    QStringList pending_;
    QString summary_;  // what the status bar was last told
    int requested_ = 0;
    int opened_ = 0;
    bool scheduled_ = false;
};
