#include "shell/lock_indicators.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

#ifdef KESTRUM_HAVE_X11
#include <X11/XKBlib.h>
#endif

std::optional<LockStates> ReadLockStates() {
#ifdef KESTRUM_HAVE_X11
    const auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    unsigned int indicators = 0;
    if (display == nullptr || XkbGetIndicatorState(display, XkbUseCoreKbd, &indicators) != Success) return std::nullopt;
    // The core keyboard's usual indicator order: Caps Lock, Num Lock, Scroll Lock.
    return LockStates{(indicators & 1u) != 0, (indicators & 2u) != 0, (indicators & 4u) != 0};
#else
    return std::nullopt;
#endif
}

namespace {

constexpr int kPollMs = 250;
constexpr const char* kNames[] = {"CAP", "NUM", "SCRL"};

}  // namespace

CLockIndicators::CLockIndicators(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < 3; ++i) {
        labels_[i] = new QLabel(this);
        labels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        labels_[i]->setMinimumWidth(labels_[i]->fontMetrics().horizontalAdvance(kNames[i]) + 8);
        labels_[i]->setAlignment(Qt::AlignCenter);
        layout->addWidget(labels_[i]);
    }
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &CLockIndicators::Update);
    timer->start(kPollMs);
    Update();
}

void CLockIndicators::Update() {
    const std::optional<LockStates> states = ReadLockStates();
    const bool on[] = {states && states->caps, states && states->num, states && states->scroll};
    for (int i = 0; i < 3; ++i) labels_[i]->setText(on[i] ? kNames[i] : "");
}
