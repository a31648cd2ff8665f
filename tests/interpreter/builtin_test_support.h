// Shared pieces of the interpreter tests that reach the desktop or files: a desktop that records
// what a script or a table asks of it, a scratch folder, and file helpers.
#pragma once

#include <atomic>
#include <cstdio>
#include <deque>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "tests/platform/temp_dir.h"

class RecordingDesktop : public desktop::Desktop {
public:
    struct Box {
        std::string text;
        std::string caption;
        unsigned style;
    };
    struct Wave {
        std::string path;
        bool loop;
    };

    int MessageBox(void*, const std::string& text, const std::string& caption, unsigned style) override {
        std::lock_guard<std::mutex> lock(mutex_);
        boxes.push_back({text, caption, style});
        if ((style & 0x0F) != desktop::kYesNo) return desktop::kIdOk;
        if (answers.empty()) return desktop::kIdNo;
        const bool yes = answers.front();
        answers.pop_front();
        return yes ? desktop::kIdYes : desktop::kIdNo;
    }
    std::string SelectFile(void*, const std::string&, const std::string&) override {
        ++selections;
        return "";
    }
    void Beep(unsigned type) override {
        std::lock_guard<std::mutex> lock(mutex_);
        beeps.push_back(type);
    }
    bool PlayWave(const std::string& path, bool loop, bool) override {
        std::lock_guard<std::mutex> lock(mutex_);
        waves.push_back({path, loop});
        return true;
    }
    bool PlayWaveUntil(const std::string& path, const std::atomic<int>&) override { return PlayWave(path, false, true); }
    void StopWave() override { ++stops; }
    bool Open(const std::string& target) override {
        std::lock_guard<std::mutex> lock(mutex_);
        opened.push_back(target);
        return true;
    }
    bool SetClipboardText(const std::string& text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        clipboard.push_back(text);
        return true;
    }

    // Read after the run has ended (the worker has joined).
    std::deque<bool> answers;  // yes/no answers, in order; "No" when none is left
    std::vector<Box> boxes;
    std::atomic<int> selections{0};
    std::vector<unsigned> beeps;
    std::vector<Wave> waves;
    std::atomic<int> stops{0};
    std::vector<std::string> opened;
    std::vector<std::string> clipboard;

private:
    std::mutex mutex_;
};

// Installs a RecordingDesktop for the scope's lifetime, then puts the previous desktop back.
class DesktopScope {
public:
    DesktopScope() : previous_(&desktop::Current()) { desktop::Install(&recorder); }
    ~DesktopScope() { desktop::Install(previous_); }
    DesktopScope(const DesktopScope&) = delete;
    DesktopScope& operator=(const DesktopScope&) = delete;
    RecordingDesktop recorder;

private:
    desktop::Desktop* previous_;
};

// A fresh folder under the system's temporary folder, removed afterwards.
using ScratchFolder = platform_test::TempDir;

// A path as a script's string literal.
inline std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

inline std::vector<unsigned char> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<unsigned char> Bytes(const std::string& text) {
    return std::vector<unsigned char>(text.begin(), text.end());
}
