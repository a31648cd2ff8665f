// The "Simulation:" bar under the menus: a label, a read-only field and a progress bar (display
// only) that a running script's network construction and simulation write into.
#pragma once

#include <QToolBar>

class QLineEdit;
class QProgressBar;

class CSimulationBar : public QToolBar {
    Q_OBJECT
public:
    explicit CSimulationBar(QWidget* parent = nullptr);

    QLineEdit* TextField() const { return text_; }
    QProgressBar* Progress() const { return progress_; }

public Q_SLOTS:
    void SetSimulationText(const QString& text);
    // The range 0 .. range at position; (-1, -1) resets to the range 0 .. 1 at 0.
    void SetSimulationProgress(int position, int range);

private:
    QLineEdit* text_;
    QProgressBar* progress_;
};
