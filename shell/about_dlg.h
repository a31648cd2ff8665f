// CAboutDlg: "About Kestrum". Its default button "Help Site" opens the online help page and leaves
// the box open (so does Enter); Esc and the close box close it.
#pragma once

#include <QDialog>

class QPushButton;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    QPushButton* HelpSiteButton() const { return helpSite_; }

Q_SIGNALS:
    void helpSiteRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* helpSite_;
};
