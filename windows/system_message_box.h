// A message box as the system's own: a box without a Cancel button (Yes/No, Abort/Retry/Ignore)
// is answered only by its buttons, as neither Esc nor the title bar can answer it; the title bar
// has no buttons but close, and the box is wide enough for its whole caption.
#pragma once

#include <QMessageBox>

class SystemMessageBox : public QMessageBox {
    Q_OBJECT
public:
    SystemMessageBox(Icon icon, const QString& caption, const QString& text, StandardButtons buttons,
                     QWidget* parent = nullptr);

    // True when Esc and the title bar's close button may answer: a box with Cancel, or with OK alone.
    bool Dismissable() const;
    // The width that shows the caption whole in the title bar beside its icon and close button.
    int CaptionWidth() const;

    // A modal question with Yes and No; true on Yes.
    static bool AskYesNo(QWidget* parent, const QString& caption, const QString& question);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void KeepCaptionWidth();
};
