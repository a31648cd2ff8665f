#include "shell/simulation_bar.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <algorithm>

#include "windows/dialog_units.h"

// Laid out in dialog units of an 8 point "MS Shell Dlg" dialog, 302 x 17.
CSimulationBar::CSimulationBar(QWidget* parent) : QToolBar("Simulation", parent) {
    setObjectName("simulation");
    const QFont dialogFont("MS Shell Dlg", 8);
    const DialogUnits du(dialogFont);
    auto* bar = new QWidget;
    bar->setFont(dialogFont);
    auto* label = new QLabel("Simulation:", bar);
    // Where fontconfig's stand-in for the dialog font is wider, the fields move right rather
    // than cover the label.
    const int shift = std::max(0, label->fontMetrics().horizontalAdvance(label->text()) + 2 - du.X(37));
    bar->setFixedSize(du.X(302) + shift, du.Y(17));
    label->setGeometry(du.Rect(0, 4, 40, 8).adjusted(0, -2, shift, 2));
    text_ = new QLineEdit(bar);
    text_->setReadOnly(true);
    // A click selects its text; the keyboard stays where the documents are.
    text_->setFocusPolicy(Qt::ClickFocus);
    text_->setGeometry(du.Rect(37, 3, 152, 12).translated(shift, 0));
    progress_ = new QProgressBar(bar);
    progress_->setGeometry(du.Rect(191, 3, 104, 12).translated(shift, 0));
    progress_->setTextVisible(false);
    progress_->setEnabled(false);
    SetSimulationProgress(-1, -1);
    addWidget(bar);
}

void CSimulationBar::SetSimulationText(const QString& text) { text_->setText(text); }

void CSimulationBar::SetSimulationProgress(int position, int range) {
    if (position == -1 && range == -1) {
        progress_->setRange(0, 1);
        progress_->setValue(0);
        return;
    }
    progress_->setRange(0, std::max(range, 0));
    progress_->setValue(std::clamp(position, 0, std::max(range, 0)));
}
