// The desktop a running script reaches on Linux with Qt: message boxes, questions and the file-open
// dialog (each run's own, holding its document window until answered), beeps, WAV sounds, opening
// programs and documents, the clipboard. Scripts call it from their worker threads; every window it
// touches is handled in the GUI thread while the worker waits.
#pragma once

#include <QPointer>
#include <QWidget>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/desktop.h"

class QSoundEffect;

class QtDesktop : public desktop::Desktop {
public:
    QtDesktop();
    ~QtDesktop() override;

    // The window that owns boxes and dialogs when the caller names none.
    void SetMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }

    int MessageBox(void* owner, const std::string& text, const std::string& caption, unsigned style) override;
    std::string SelectFile(void* owner, const std::string& filterTitle, const std::string& pattern) override;
    void Beep(unsigned type) override;
    bool PlayWave(const std::string& path, bool loop, bool wait) override;
    void StopWave() override;
    bool Open(const std::string& target) override;
    bool SetClipboardText(const std::string& text) override;

private:
    QWidget* Parent(void* owner) const;
    // Blocks the calling worker until the sound of this generation has lasted its time or was stopped.
    void WaitForSound(std::uint64_t generation, std::uint64_t milliseconds);

    QPointer<QWidget> mainWindow_;
    QPointer<QSoundEffect> sound_;  // GUI thread only; a child of the application object
    std::mutex waveMutex_;
    std::condition_variable waveStopped_;
    std::uint64_t waveGeneration_ = 0;  // every PlayWave and StopWave starts a new one
};

// Makes the Qt desktop the process's desktop; mainWindow owns the boxes and dialogs of scripts.
void InstallQtDesktop(QWidget* mainWindow);
