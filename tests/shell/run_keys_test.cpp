// The run's keys during a training, pressed in the main window or in the training window: a Stop
// given while paused acts after the Resume, wherever the keys were pressed.
#include "tests/shell/app_harness.h"
#include "tests/shell/view_harness.h"

#include <gtest/gtest.h>

#include <QTextDocument>

#include "shell/child_frame.h"
#include "shell/commands.h"
#include "shell/kestrum_doc.h"
#include "shell/run_windows.h"
#include "windows/nn_structure_dialog.h"

namespace {

// A training that would outlast any test: it never reaches its goal.
const char kEndlessTraining[] =
    "FF_NeuralNetwork xor\n"
    "xor.InputsNumber = 2 : xor.LayersNumber = 2 : xor.NeuronsInLayers = [3, 1]\n"
    "xor.Train.AddTrainingPair([0, 0], [0]) : xor.Train.AddTrainingPair([0, 1], [1])\n"
    "xor.Train.LearningConstant = 0.001 : xor.Train.LearningMaxError = 0\n"
    "xor.Train.MaxEpochs = 2000000000 : xor.Train.UpdateEpochs = 1000\n"
    "xor.Train.StartLearning()\n"
    "Println \"Trained.\"\n";

// Pause with modifiers, pressed on the widget with the keyboard in window.
void PressPause(QWidget* window, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(window->focusWidget() != nullptr ? window->focusWidget() : window, Qt::Key_Pause, modifiers);
}

TEST(RunKeys, StopWhilePausedActsAfterResumeInEitherWindow) {
    for (bool inTrainingWindow : {false, true}) {
        SCOPED_TRACE(inTrainingWindow ? "training window" : "main window");
        ShownMainFrame shown;
        CChildFrame* frame = shown.frame.OnFileNew();
        frame->Document()->TextDocument()->setPlainText(QString::fromLatin1(kEndlessTraining));
        shown.frame.Execute(cmd::kRun);
        CKestrumView* view = frame->EditorView();
        ASSERT_TRUE(ServeEventsUntil([&] {
            const CNNStructureDialog* window = view->Windows().StructureWindow();
            return window != nullptr && window->IsTraining();
        }));
        QWidget* window = inTrainingWindow ? static_cast<QWidget*>(view->Windows().StructureWindow()) : &shown.frame;
        QApplication::setActiveWindow(window);
        static_cast<void>(QTest::qWaitForWindowActive(window, 500));

        PressPause(window, Qt::NoModifier);
        EXPECT_TRUE(ServeEventsUntil([&] { return view->paused.load() != 0; }, 3000));
        PressPause(window, Qt::ControlModifier);  // Ctrl+Break: Stop
        EXPECT_TRUE(ServeEventsUntil([&] { return view->stopRequested.load() != 0; }, 3000));
        EXPECT_FALSE(ServeEventsUntil([&] { return !view->WorkerActive(); }, 300));  // paused
        PressPause(window, Qt::ControlModifier | Qt::AltModifier);  // Ctrl+Alt+Break: Resume
        const bool ended = ServeEventsUntil([&] { return !view->WorkerActive(); });
        EXPECT_TRUE(ended);
        if (!ended) {  // the run goes on: stop it from the main window
            view->stopRequested = 1;
            ASSERT_TRUE(ServeEventsUntil([&] { return !view->WorkerActive(); }));
        }
        view->FlushPendingOutput();
        EXPECT_TRUE(frame->OutputPane()->toPlainText().endsWith(QStringLiteral("Program Terminated  By User.\n")))
            << frame->OutputPane()->toPlainText().toStdString();
    }
}

}  // namespace
