// The console desktop: what kestrum-run and the tests use. Nothing here opens a window; message
// boxes become lines on stderr, answers and the chosen file come from the host, sounds are timed
// but silent, and opening documents only launches the desktop's opener when asked to through the
// environment (KESTRUM_OPEN_WITH_DESKTOP=1), so that batch runs never start programs.
#include "platform/desktop.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
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
// How soon a waiting sound notices a stop.
constexpr std::chrono::milliseconds kStopPollSlice{10};

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
    // It starts with no signal blocked, whatever the calling thread blocks (the console host takes
    // its stop signals in a thread of their own and blocks them in every other), and with SIGXFSZ
    // at its default: our hosts ignore it for their own writes, and an ignored signal would last
    // through the program's exec.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t fileSizeLimit;
    sigemptyset(&fileSizeLimit);
    sigaddset(&fileSizeLimit, SIGXFSZ);
    posix_spawnattr_setsigdefault(&attributes, &fileSizeLimit);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "xdg-open", nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) return false;
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
    return true;
}

std::atomic<Desktop*> installed{nullptr};

}  // namespace

bool Desktop::PlayWaveUntil(const std::string& path, const std::atomic<int>& stop) {
    WaveInfo info;
    std::string error;
    if (!ReadWaveInfo(crt::ToSystemPath(path), info, error) || !PlayWave(path, false, false)) return false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(info.DurationMilliseconds());
    while (std::chrono::steady_clock::now() < end) {
        if (stop.load() != 0) {
            StopWave();
            return true;
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kStopPollSlice,
                                                                                  end - std::chrono::steady_clock::now()));
    }
    return true;
}

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
    static const std::atomic<int> never{0};
    return PlaySilently(path, loop, wait, never);
}

bool ConsoleDesktop::PlayWaveUntil(const std::string& path, const std::atomic<int>& stop) {
    return PlaySilently(path, false, true, stop);
}

bool ConsoleDesktop::PlaySilently(const std::string& path, bool loop, bool wait, const std::atomic<int>& stop) {
    WaveInfo info;
    std::string error;
    if (!ReadWaveInfo(crt::ToSystemPath(path), info, error)) return false;
    std::unique_lock<std::mutex> lock(waveMutex_);
    const std::uint64_t generation = ++waveGeneration_;
    playing_ = true;
    if (wait && !loop) {
        // A synchronous sound lasts as long as its data; StopWave from another thread ends it, and
        // so does the stop flag, which a signal may set without notifying anyone (so it is polled).
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(info.DurationMilliseconds());
        while (waveGeneration_ == generation && stop.load() == 0 && std::chrono::steady_clock::now() < end)
            waveStopped_.wait_until(lock, std::min(end, std::chrono::steady_clock::now() + kStopPollSlice));
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
    // Only recorded: nothing was opened.
    return OpenWithDesktopWanted() && LaunchOpener(crt::ToSystemPath(target));
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
