// Training's end waits for the structure window's repaint only where there is such a window.
#include <gtest/gtest.h>

#include "network/engine_test_support.h"
#include "platform/crt_runtime.h"

namespace {

class WindowView : public enginetest::RecordingView {
public:
    explicit WindowView(bool window) : window_(window) {}
    bool HasTrainingWindow() const override { return window_; }

private:
    bool window_;
};

TEST(WindowlessWait, OnlyAHostWithATrainingWindowWaitsForIt) {
    for (const bool window : {false, true}) {
        CFeedForwardNeuralNetwork net;
        enginetest::Shape(net, 1, {1});
        net.SetFunction(FCN_LOGSIG);
        net.MaxEpochs = 3;
        net.AddPair(kTrainingPairs, enginetest::MakePair({1.0}, {1.0}));
        WindowView view(window);
        std::string error;
        const long before = crt::RequestedSleepMilliseconds();
        EXPECT_EQ(net.Train(error, &view), 1) << error;
        EXPECT_EQ(crt::RequestedSleepMilliseconds() - before, window ? 500 : 0) << window;
    }
}

}  // namespace
