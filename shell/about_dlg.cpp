#include "shell/about_dlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "windows/dialog_units.h"

namespace {

QLabel* Picture(QWidget* parent, const QString& resource, const QRect& where) {
    auto* label = new QLabel(parent);
    label->setPixmap(QPixmap(resource).scaled(where.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    label->setGeometry(where);
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Kestrum");
    setFont(QFont("Times New Roman", 14));
    const DialogUnits du(font());
    setFixedSize(du.X(141), du.Y(105));

    Picture(this, ":/kestrum/kestrum.svg", QRect(du.X(37), du.Y(3), 32, 32));  // an icon is 32 x 32
    auto* text = new QLabel("Kestrum\n\nLoriant Script\nwith neural networks\n\nVersion 1.0", this);
    text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    text->setWordWrap(true);
    text->setGeometry(du.Rect(5, 15, 73, 72));
    Picture(this, ":/kestrum/about.svg", du.Rect(87, 7, 44, 71));
    Picture(this, ":/kestrum/url.svg", du.Rect(6, 94, 8, 8));

    helpSite_ = new QPushButton("Help Site", this);
    helpSite_->setGeometry(du.Rect(91, 83, 35, 13));
    helpSite_->setDefault(true);
    helpSite_->setAutoDefault(true);
    connect(helpSite_, &QPushButton::clicked, this, &CAboutDlg::helpSiteRequested);
}

// Enter presses the default button, which does not close the box.
void CAboutDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        helpSite_->click();
        return;
    }
    QDialog::keyPressEvent(event);
}
