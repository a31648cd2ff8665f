// What a running script asks of the desktop: message boxes, questions, the file-open dialog,
// sounds, opening programs and documents, the clipboard. The console implementation serves
// kestrum-run and the tests; the Qt shell installs its own at start-up.
// Texts are single-byte code page 1256.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace desktop {

// Message box styles and answers, with the values the scripts and callers pass around.
enum Style : unsigned {
    kOk = 0x00,
    kYesNo = 0x04,
    kIconHand = 0x10,        // error
    kIconQuestion = 0x20,
    kIconExclamation = 0x30,
    kIconAsterisk = 0x40,    // information
};
enum Answer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

class Desktop {
public:
    virtual ~Desktop() = default;
    // owner: the window that owns the box (nullptr: none). Returns one of Answer.
    virtual int MessageBox(void* owner, const std::string& text, const std::string& caption, unsigned style) = 0;
    // A file-open dialog with one filter entry; returns the chosen path, or "" when cancelled.
    virtual std::string SelectFile(void* owner, const std::string& filterTitle, const std::string& pattern) = 0;
    // The system sound of a message-box style (0 the default sound).
    virtual void Beep(unsigned type) = 0;
    // Plays a WAV file; false when it cannot be played. wait: returns when the sound has ended.
    virtual bool PlayWave(const std::string& path, bool loop, bool wait) = 0;
    virtual void StopWave() = 0;
    // PlayWave with wait that gives up as soon as stop becomes nonzero, stopping the sound: a run
    // that is stopped does not sit out its sound. This one starts the sound without waiting and
    // waits for the length its header gives, in short slices.
    virtual bool PlayWaveUntil(const std::string& path, const std::atomic<int>& stop);
    // Opens a program, document or URL as the desktop's "open" does. false when nothing was opened.
    virtual bool Open(const std::string& target) = 0;
    // Puts plain text on the clipboard; false when the clipboard could not be had.
    virtual bool SetClipboardText(const std::string& text) = 0;
};

// Console implementation: each message box is one line "caption: text" on stderr (UTF-8); a
// yes/no box answers as SetYesNoAnswer says, others answer OK; answers and the chosen file are
// set by the host. Sounds are silent: PlayWave checks the WAV file and, with wait, takes as long
// as the sound lasts. Open only records the target (and answers that nothing was opened) unless
// KESTRUM_OPEN_WITH_DESKTOP=1 is set, which hands it to xdg-open.
class ConsoleDesktop : public Desktop {
public:
    int MessageBox(void* owner, const std::string& text, const std::string& caption, unsigned style) override;
    std::string SelectFile(void* owner, const std::string& filterTitle, const std::string& pattern) override;
    void Beep(unsigned type) override;
    bool PlayWave(const std::string& path, bool loop, bool wait) override;
    void StopWave() override;
    bool PlayWaveUntil(const std::string& path, const std::atomic<int>& stop) override;
    bool Open(const std::string& target) override;
    bool SetClipboardText(const std::string& text) override;

    void SetYesNoAnswer(bool yes) { answerYes_ = yes; }
    // The path SelectFile gives, in code page 1256 (a host holding UTF-8 converts it first).
    void SetSelectedFile(const std::string& path) { selectedFile_ = path; }
    // The last text put on the clipboard (the console has no clipboard of its own).
    const std::string& ClipboardText() const { return clipboard_; }
    const std::string& LastOpened() const { return lastOpened_; }
    // True from PlayWave until the sound's time has passed (wait) or StopWave.
    bool IsPlaying() const;

private:
    bool PlaySilently(const std::string& path, bool loop, bool wait, const std::atomic<int>& stop);

    std::atomic<bool> answerYes_{false};
    std::string selectedFile_;
    std::mutex stateMutex_;  // clipboard_ and lastOpened_ are written from workers
    std::string clipboard_;
    std::string lastOpened_;
    mutable std::mutex waveMutex_;
    std::condition_variable waveStopped_;
    std::uint64_t waveGeneration_ = 0;  // every PlayWave and StopWave starts a new one
    bool playing_ = false;
};

// The one desktop the process uses. Starts as a ConsoleDesktop.
Desktop& Current();
// Installs another implementation (the caller keeps ownership; nullptr restores the console one).
void Install(Desktop* desktop);
ConsoleDesktop& Console();

}  // namespace desktop
