// The Split command's tracking of a splitter bar from the keyboard: the arrows move the bar
// (kStep pixels, 1 with Ctrl), Return keeps the new place and Esc puts the bar back. A mouse click
// keeps the place; the program losing the keyboard puts the bar back. While it tracks, the keys go
// to it alone.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QSplitter;

class CKeyboardSplit : public QObject {
    Q_OBJECT
public:
    static constexpr int kStep = 16;

    // Starts tracking the first bar of splitter, unless a bar is being tracked already. The
    // tracker deletes itself when it ends.
    static void Start(QSplitter* splitter);
    static bool Tracking();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CKeyboardSplit(QSplitter* splitter);
    void OnKey(int key, bool fine);
    void Move(int by);
    void PointAtBar() const;
    void Finish(bool keep);

    QPointer<QSplitter> splitter_;
    QList<int> original_;
};
