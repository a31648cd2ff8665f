// What the application and frame tests share: a desktop that records beeps and opened targets,
// installed for the test's life, and a main frame shown and active on the offscreen platform.
#pragma once

#include <QApplication>
#include <QTest>
#include <atomic>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "shell/main_frame.h"

class RecordingDesktop : public desktop::ConsoleDesktop {
public:
    RecordingDesktop() { desktop::Install(this); }
    ~RecordingDesktop() override { desktop::Install(nullptr); }
    void Beep(unsigned type) override { beeps.push_back(type); }
    bool Open(const std::string& target) override {
        opened.push_back(target);
        return true;
    }
    std::vector<unsigned> beeps;
    std::vector<std::string> opened;
};

struct ShownMainFrame {
    RecordingDesktop desktop;
    CMainFrame frame;
    // Settings (the recent files) go to the test's own folder (see the test program's main).
    ShownMainFrame() : frame(nullptr) {
        frame.resize(1000, 700);
        frame.show();
        QApplication::setActiveWindow(&frame);
        static_cast<void>(QTest::qWaitForWindowActive(&frame));
    }
};

// Answers the next modal message box with the button, once it is shown.
void AnswerNextMessageBox(int button);
