// Whole scripts run as the editor runs them while the user presses Stop, or Pause and then Resume,
// at a chosen moment: when the run has printed its Nth text. The moment is fixed by the script's
// words, whichever way the run reads them, so a run with compiled regions and one that reads word
// by word must still leave exactly the same. Resume comes from another thread a few microseconds
// later, as the editor's button would: a pause changes nothing a script can see.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "tests/interpreter/script_comparison.h"

// When the user acts: after the run's Nth appended text (0: never).
struct Interruptions {
    int stopAt = 0;
    int pauseAt = 0;
    int pauseMicroseconds = 0;
    // Pause pressed this long after the print (0: at once), wherever the run has got to then:
    // inside a loop's pass at times, which no print can reach. A pause leaves nothing to compare.
    int pauseDelayMicroseconds = 0;
};

// A view that records like the editor's and presses the buttons at the chosen moments.
class InterruptingView : public RecordingView {
public:
    ~InterruptingView() override { JoinResume(); }

    void Arm(const Interruptions& moments) {
        moments_ = moments;
        printed_ = 0;
    }
    // After the run: no button is pressed any more, and a pending Resume has come.
    void Disarm() {
        moments_ = {};
        JoinResume();
        ResetRunFlags();
    }

    void OutputText(const std::string& text, int append, int crlfBefore, int crlfAfter, int repaint) override {
        RecordingView::OutputText(text, append, crlfBefore, crlfAfter, repaint);
        if (!append) return;
        ++printed_;
        if (printed_ == moments_.pauseAt) Pause();
        if (printed_ == moments_.stopAt) stopRequested = 1;
    }

private:
    void Pause() {
        JoinResume();
        const int delay = moments_.pauseDelayMicroseconds;
        if (delay == 0) paused = 1;
        const int wait = moments_.pauseMicroseconds;
        resume_ = std::thread([this, delay, wait] {
            if (delay > 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(delay));
                paused = 1;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(wait));
            paused = 0;
        });
    }
    void JoinResume() {
        if (resume_.joinable()) resume_.join();
    }

    Interruptions moments_;
    int printed_ = 0;
    std::thread resume_;
};

// The files a run wrote in a folder, as text, the folder emptied for the next run.
inline std::string TakeFiles(const std::string& folder) {
    std::string out;
    std::error_code error;
    for (const auto& file : std::filesystem::directory_iterator(folder, error)) {
        std::ifstream in(file.path(), std::ios::binary);
        out += "\nfile " + file.path().filename().string() + ": " +
               std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        std::filesystem::remove(file.path(), error);
    }
    return out;
}

// One side of the comparison: the check pass and, when it passes, the run with the interruptions.
template <class Base>
struct InterruptedSideOf {
    InterruptingView view;
    ComparingParserOf<Base> parser{&view};
    // Where the scripts' files are (empty: they touch none): emptied before a run, and what the
    // run left there is part of its outcome.
    std::string folder;

    void Run(const std::string& text, bool regions, const Interruptions& moments) {
        files_.clear();
        if (!folder.empty()) TakeFiles(folder);
        RunScript(text, regions, moments);
        if (!folder.empty()) files_ = TakeFiles(folder);
    }

    std::string Outcome() const { return parser.endState + "\n" + DescribeView(view) + files_; }

private:
    void RunScript(const std::string& text, bool regions, const Interruptions& moments) {
        view.ClearRecords();
        view.ResetRunFlags();
        parser.endState.clear();
        parser.compiledRegions = regions;
        parser.sleepScale = 0;  // a paused run looks at the flag again at once
        parser.SetSource(text);
        static const int kOptions[4] = {1, 0, 0, 0};
        if (!parser.Compile(kOptions)) {
            parser.endState = "CHECK FAILED " + DescribeFields(parser, parser.history.Count()) + DescribeVariables(parser);
            return;
        }
        view.Arm(moments);
        view.running = 1;
        parser.CreateThread();
        parser.WaitFinished();
        view.Disarm();
    }

    std::string files_;
};

// A script run with compiled regions and word by word, interrupted at the same moments.
template <class Base>
struct InterruptedComparisonOf {
    InterruptedSideOf<Base> regions;
    InterruptedSideOf<Base> reading;

    // The scripts open files in this folder.
    void UseFolder(const std::string& folder) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        regions.folder = folder;
        reading.folder = folder;
    }

    // true when both runs left the same
    bool Run(const std::string& text, const Interruptions& moments) {
        regions.Run(text, true, moments);
        reading.Run(text, false, moments);
        return Same();
    }
    bool Same() const { return regions.Outcome() == reading.Outcome(); }
};
