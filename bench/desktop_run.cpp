// Scripts run in the desktop beside kestrum-run running the same scripts: a script printing
// 100,000 lines, and two trainings with the training window shown (XOR 2-10-1 on 4 pairs for
// 1,000,000 epochs; network (b), 64-128-128-10 on 1000 pairs for 20 epochs, also with the window
// turned to its structure view, 26,000 connections drawn in about 1200 x 800). For each: the best
// wall and CPU time of a few runs of each, their ratios desktop / kestrum-run, and the longest time
// the desktop's GUI thread went without serving events (a 5 ms timer's longest interval); the GUI
// thread's share of the desktop's CPU time beside.
// Targets: printing within 3x kestrum-run's wall time with gaps under 100 ms; training CPU within
// 1.2x with gaps under 250 ms.
// usage: bench_desktop_run [path/to/kestrum-run] [runs] [part of a script's name]
// (on the offscreen platform when there is no display)
#include "base/dyna_array.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "shell/kestrum_view.h"
#include "shell/left_view.h"
#include "shell/output_pane.h"
#include "shell/run_windows.h"
#include "windows/nn_structure_dialog.h"
#include "bench/network_b_script.h"

extern char** environ;

namespace {

const char kPrinting[] =
    "Integer i\n"
    "For i = 1 To 100000\n"
    "Println \"line \" + i\n"
    "Next\n";

const char kXor[] =
    "FF_NeuralNetwork xor\n"
    "xor.InputsNumber = 2 : xor.LayersNumber = 2 : xor.NeuronsInLayers = [10, 1]\n"
    "xor.Function = FCN_LOGSIG : xor.Bias = 1\n"
    "xor.Weights(1) = RANDOM_ELEMENTS(-1, 1)\n"
    "xor.Weights(2) = RANDOM_ELEMENTS(-1, 1)\n"
    "xor.Train.AddTrainingPair([0, 0], [0]) : xor.Train.AddTrainingPair([0, 1], [1])\n"
    "xor.Train.AddTrainingPair([1, 0], [1]) : xor.Train.AddTrainingPair([1, 1], [0])\n"
    "xor.Train.LearningConstant = 2 : xor.Train.LearningMaxError = 0\n"
    "xor.Train.MaxEpochs = 1000000\n"
    "xor.Train.StartLearning()\n";

const std::string kNetworkB = std::string(kNetworkBSetup) +
                              "net.Train.LearningMaxError = 0 : net.Train.MaxEpochs = 20\n"
                              "net.Train.StartLearning()\n";

struct Figures {
    double wall = 1e300;
    double cpu = 1e300;
    double longestGap = 0.0;  // desktop only
    double guiCpu = 1e300;    // desktop only: the GUI thread's part of cpu

    void Keep(double w, double c, double gap = 0.0, double gui = 0.0) {
        wall = std::min(wall, w);
        if (c < cpu) {
            cpu = c;
            guiCpu = gui;
        }
        longestGap = std::max(longestGap, gap);
    }
};

double CpuSeconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return CpuSeconds(usage);
}

// kestrum-run on the script file, its output thrown away.
bool RunConsole(const std::string& runner, const std::string& script, Figures& figures) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string program = runner;
    std::string file = script;
    char* argv[] = {program.data(), file.data(), nullptr};
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, runner.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    figures.Keep(static_cast<double>(clock.nsecsElapsed()) / 1e9, CpuSeconds(usage));
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Once training shows, turns the training window to its structure view, about 1200 x 800 large.
void WatchForStructureView(CKestrumView& view, QTimer& watch) {
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&view, &watch] {
        CNNStructureDialog* window = view.Windows().StructureWindow();
        if (window == nullptr || !window->IsTraining() || window->GetMode() != 1) return;
        window->resize(1200, 900);
        window->OnSwitchMode();
        watch.stop();
    });
    watch.start();
}

// The script in a document's panes, from Run to the worker's end and the pane's last text.
void RunDesktop(const char* script, bool structureView, Figures& figures) {
    CLeftView tree;
    COutputPane pane;
    CKestrumView view;
    view.SetPanes(&pane, &tree);
    view.setPlainText(QString::fromLatin1(script));
    pane.resize(800, 300);
    pane.show();

    QElapsedTimer sinceTick;
    QElapsedTimer clock;
    double longestGap = 0.0;
    QTimer probe;
    probe.setInterval(5);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, static_cast<double>(sinceTick.nsecsElapsed()) / 1e9);
        sinceTick.restart();
    });

    QTimer watch;
    if (structureView) WatchForStructureView(view, watch);
    const double cpuBefore = ProcessCpuSeconds();
    const double guiBefore = ThreadCpuSeconds();
    clock.start();
    sinceTick.start();
    probe.start();
    view.OnRun();
    while (view.WorkerActive()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    view.FlushPendingOutput();
    const double wall = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const double guiCpu = ThreadCpuSeconds() - guiBefore;
    probe.stop();
    figures.Keep(wall, cpu, longestGap, guiCpu);
}

std::string DefaultRunner(const char* self) {
    const std::filesystem::path bench = std::filesystem::canonical(self).parent_path();
    return (bench.parent_path() / "host" / "kestrum-run").string();
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const std::string runner = argc > 1 && argv[1][0] != 0 ? argv[1] : DefaultRunner(argv[0]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string only = argc > 3 ? argv[3] : "";

    struct Case {
        const char* name;
        const char* script;
        bool structureView;
    };
    const Case cases[] = {{"print 100,000 lines", kPrinting, false},
                          {"XOR 2-10-1, 1,000,000 epochs", kXor, false},
                          {"network (b) 64-128-128-10, 20 epochs", kNetworkB.c_str(), false},
                          {"network (b), structure view shown", kNetworkB.c_str(), true}};
    const std::string folder = std::filesystem::temp_directory_path() / ("kestrum_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::printf("%-38s %9s %9s %9s %9s %9s %7s %7s %9s\n", "script", "run wall", "run cpu", "desk wall", "desk cpu",
                "gui cpu", "wall x", "cpu x", "max gap");
    for (const Case& c : cases) {
        if (std::string(c.name).find(only) == std::string::npos) continue;
        const std::string file = folder + "/script.lsc";
        std::ofstream(file) << c.script;
        Figures console;
        Figures desktop;
        for (int i = 0; i < runs; ++i) {
            if (!RunConsole(runner, file, console)) {
                std::fprintf(stderr, "%s failed on: %s\n", runner.c_str(), c.name);
                return 1;
            }
            RunDesktop(c.script, c.structureView, desktop);
        }
        std::printf("%-38s %8.3fs %8.3fs %8.3fs %8.3fs %8.3fs %7.2f %7.2f %7.0fms\n", c.name, console.wall,
                    console.cpu, desktop.wall, desktop.cpu, desktop.guiCpu, desktop.wall / console.wall,
                    desktop.cpu / console.cpu, desktop.longestGap * 1000.0);
        std::fflush(stdout);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
