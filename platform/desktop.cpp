// The console desktop: what kestrum-run and the tests use. Nothing here opens a window; message
// boxes become lines on stderr, answers and the chosen file come from the host, sounds are timed
// but silent, and opening documents only launches the desktop's opener when asked to through the
// environment (KESTRUM_OPEN_WITH_DESKTOP=1), so that batch runs never start programs.
#include "platform/desktop.h"

#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "platform/cp1256.h"
#include "platform/crt_file.h"
#include "platform/wave_file.h"

extern char** environ;

namespace desktop {
namespace {

constexpr unsigned kButtonMask = 0x0F;

std::mutex& StderrMutex() {
    static std::mutex m;
    return m;
}

bool OpenWithDesktopWanted() {
    const char* value = std::getenv("KESTRUM_OPEN_WITH_DESKTOP");
    return value != nullptr && std::string(value) == "1";
}

// Starts xdg-open without a shell (the target is never interpreted as a command line) and
// reaps it in the background.
bool LaunchOpener(const std::string& target) {
    std::string program = "xdg-open";
    std::string argument = target;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) return false;
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
    return true;
}

std::atomic<Desktop*> installed{nullptr};

}  // namespace

int ConsoleDesktop::MessageBox(void*, const std::string& text, const std::string& caption, unsigned style) {
    {
        std::lock_guard<std::mutex> lock(StderrMutex());
        std::fprintf(stderr, "%s: %s\n", cp1256::ToUtf8(caption).c_str(), cp1256::ToUtf8(text).c_str());
        std::fflush(stderr);
    }
    if ((style & kButtonMask) == kYesNo) return answerYes_ ? kIdYes : kIdNo;
    return kIdOk;
}

std::string ConsoleDesktop::SelectFile(void*, const std::string&, const std::string&) {
    return selectedFile_;
}

// A console has no system sounds worth making; a bell in a batch log is only noise.
void ConsoleDesktop::Beep(unsigned) {}

bool ConsoleDesktop::PlayWave(const std::string& path, bool loop, bool wait) {
    WaveInfo info;
    std::string error;
    if (!ReadWaveInfo(crt::ToSystemPath(path), info, error)) return false;
    std::unique_lock<std::mutex> lock(waveMutex_);
    const std::uint64_t generation = ++waveGeneration_;
    playing_ = true;
    if (wait && !loop) {
        // A synchronous sound lasts as long as its data; StopWave from another thread ends it.
        waveStopped_.wait_for(lock, std::chrono::milliseconds(info.DurationMilliseconds()),
                              [&] { return waveGeneration_ != generation; });
        if (waveGeneration_ == generation) playing_ = false;
    }
    return true;
}

void ConsoleDesktop::StopWave() {
    {
        std::lock_guard<std::mutex> lock(waveMutex_);
        ++waveGeneration_;
        playing_ = false;
    }
    waveStopped_.notify_all();
}

bool ConsoleDesktop::IsPlaying() const {
    std::lock_guard<std::mutex> lock(waveMutex_);
    return playing_;
}

bool ConsoleDesktop::Open(const std::string& target) {
    {
        std::lock_guard<std::mutex> lock(stateMutex_);
        lastOpened_ = target;
    }
    if (OpenWithDesktopWanted()) return LaunchOpener(crt::ToSystemPath(target));
    return true;
}

bool ConsoleDesktop::SetClipboardText(const std::string& text) {
    std::lock_guard<std::mutex> lock(stateMutex_);
    clipboard_ = text;
    return true;
}

Desktop& Current() {
    Desktop* d = installed.load();
    return d != nullptr ? *d : Console();
}

void Install(Desktop* desktop) { installed.store(desktop); }

ConsoleDesktop& Console() {
    static ConsoleDesktop console;
    return console;
}

}  // namespace desktop
