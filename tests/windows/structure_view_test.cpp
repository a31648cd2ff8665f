// The structure view: recorded elements and their pixels, marks, hit test, zoom, stretch, scroll,
// weight copies, hover and the window's minimum size.
#include <QAbstractSlider>
#include <QApplication>
#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>
#include <algorithm>
#include <tuple>
#include <vector>

#include "base/dyna_array.h"
#include "network/feed_forward_network.h"
#include "windows/nn_structure_dialog.h"
#include "windows/scroll_arithmetic.h"
#include "windows/structure_painter.h"
#include "windows/weight_copy_clock.h"

namespace {

CFeedForwardNeuralNetwork Network(int inputs, std::vector<int> layers) {
    CFeedForwardNeuralNetwork network;
    network.SetInputCount(inputs);
    network.SetLayers(layers);
    double w = 0.125;
    for (int i = 0; i < network.GetLayerCount(); ++i) {
        NeuronLayer& layer = network.GetLayer(i);
        for (std::size_t k = 0; k < layer.WeightCount(); ++k) layer.Weights()[k] = (w += 0.25);
    }
    return network;
}

struct Recorded {
    int kind, x1, y1, x2, y2, id1, id2, id3;
};

TEST(StructureView, TwoTwoOneRecordsEveryElementAtItsPixels) {
    CNNStructureDialog dialog(nullptr, nullptr);
    const CFeedForwardNeuralNetwork network = Network(2, {2, 1});
    dialog.SetNetwork(network);
    dialog.RenderFrame(QSize(600, 400));
    // zoom 0.5, radius 50, spacings 300 and 200: offsets 100, 100, 200; screen radius 25.
    const std::vector<Recorded> expected = {
        {2, 12, 187, 162, 87, 0, 0, 1},   {2, 12, 187, 162, 187, 0, 1, 1},  {2, 12, 87, 162, 87, 0, 0, 0},
        {2, 12, 87, 162, 187, 0, 1, 0},   {2, 162, 187, 312, 137, 1, 0, 1}, {2, 162, 187, 162, 229, 1, 1, -2},
        {1, 162, 187, 1, 1, 0, 0, 0},     {2, 162, 87, 312, 137, 1, 0, 0},  {2, 162, 87, 162, 129, 1, 1, -1},
        {1, 162, 87, 1, 0, 0, 0, 0},      {2, 312, 137, 312, 179, 2, 0, -1}, {1, 312, 137, 2, 0, 0, 0, 0},
    };
    const CDynaArray<ViewObject>& objects = dialog.GetViewObjects();
    ASSERT_EQ(objects.GetCount(), static_cast<int>(expected.size()));
    for (int i = 0; i < objects.GetCount(); ++i) {
        const ViewObject& o = objects[i];
        const Recorded& e = expected[static_cast<std::size_t>(i)];
        const bool neuron = e.kind == 1;
        EXPECT_EQ(std::make_tuple(o.kind, o.x1, o.y1, o.x2, o.y2, neuron ? 0 : o.id1, neuron ? 0 : o.id2,
                                  neuron ? 0 : o.id3),
                  std::make_tuple(e.kind, e.x1, e.y1, e.x2, e.y2, e.id1, e.id2, e.id3))
            << "object " << i;
    }
    // Input 1 to hidden neuron 0 carries that neuron's weight 1; the output's bias its last weight.
    EXPECT_EQ(objects[0].weight, network.GetLayer(0).Weights()[1]);
    EXPECT_EQ(objects[10].weight, network.GetLayer(1).Weights()[2]);
    // A later paint keeps the recorded geometry; a zoom empties it for the next paint.
    dialog.RenderFrame(QSize(600, 400));
    EXPECT_EQ(objects.GetCount(), 12);
    dialog.OnZoomIn();
    EXPECT_EQ(objects.GetCount(), 0);
}

TEST(StructureView, InputMarkSizeFollowsTheZoom) {
    const std::vector<std::pair<float, int>> cases = {{0.5f, 20}, {0.4f, 10}, {0.2f, 6}, {0.01f, 2}};
    for (const auto& [zoom, size] : cases) {
        StructureGeometry geometry;
        geometry.zoom = zoom;
        EXPECT_EQ(geometry.InputMarkSize(), size) << zoom;
    }
}

TEST(StructureView, HitTestEdgesAndPickDistance) {
    CDynaArray<ViewObject> objects(10, "NN Structure View Objects");
    auto connection = [](int x1, int y1, int x2, int y2) {
        ViewObject o;
        o.kind = ViewObject::kConnection;
        o.x1 = x1, o.y1 = y1, o.x2 = x2, o.y2 = y2, o.id3 = x1;
        return o;
    };
    objects.Add(connection(0, 100, 100, 100));  // on the frame's bottom edge
    objects.Add(connection(100, 0, 100, 100));  // on its right edge
    objects.Add(connection(0, 50, 60, 50));
    ViewObject neuron;
    neuron.kind = ViewObject::kNeuron;
    neuron.x1 = 30, neuron.y1 = 30, neuron.x2 = 1, neuron.y2 = 0;
    objects.Add(neuron);
    const FrameRect frame{0, 0, 100, 100};
    struct Case {
        int x, y, kind, id3;
    };
    const std::vector<Case> cases = {
        {50, 99, 0, 0},    // only the bottom-edge line is near: its samples do not count
        {99, 20, 2, 100},  // the right-edge line counts
        {30, 65, 2, 0},    // 15 pixels from a sample of the middle line
        {30, 66, 0, 0},    // 16: not below the pick distance
        {30, 55, 1, 0},    // exactly the screen radius from the centre: the neuron, over the line
    };
    for (const Case& c : cases) {
        const ViewObject hit = HitTest(objects, c.x, c.y, frame, 25, 16);
        EXPECT_EQ(hit.kind, c.kind) << c.x << "," << c.y;
        if (hit.kind == ViewObject::kConnection) {
            EXPECT_EQ(hit.id3, c.id3) << c.x << "," << c.y;
        }
    }
}

TEST(StructureView, ZoomAndStretchStayWithinTheirLimits) {
    CNNStructureDialog dialog(nullptr, nullptr);
    dialog.OnZoomIn();
    EXPECT_FLOAT_EQ(dialog.GetZoom(), 0.55f);
    dialog.OnXStretchMinus();
    EXPECT_EQ(dialog.GetLayerSpacing(), 250);
    for (int i = 0; i < 200; ++i) {
        dialog.OnZoomIn();
        dialog.OnXStretchPlus();
        dialog.OnYStretchPlus();
    }
    EXPECT_EQ(std::make_tuple(dialog.GetZoom(), dialog.GetLayerSpacing(), dialog.GetNeuronSpacing()),
              std::make_tuple(100.0f, 10000, 10000));
    for (int i = 0; i < 200; ++i) {
        dialog.OnZoomOut();
        dialog.OnXStretchMinus();
        dialog.OnYStretchMinus();
    }
    EXPECT_EQ(std::make_tuple(dialog.GetZoom(), dialog.GetLayerSpacing(), dialog.GetNeuronSpacing()),
              std::make_tuple(0.001f, 200, 150));
}

TEST(StructureView, ScrollSteps) {
    using S = QAbstractSlider;
    struct Case {
        int action;
        long long p;
        std::optional<long long> expected;
    };
    // extent 2000 on a bar from -1000 to 1000, thumb dragged to 333.
    const std::vector<Case> cases = {
        {S::SliderSingleStepSub, 0, -20}, {S::SliderSingleStepAdd, 0, 20},    {S::SliderPageStepSub, 0, -200},
        {S::SliderPageStepAdd, 0, 200},   {S::SliderPageStepAdd, 1900, 2000}, {S::SliderMove, 0, 333},
        {S::SliderToMinimum, 5, -1000},   {S::SliderToMaximum, 5, 1000},      {S::SliderNoAction, 5, std::nullopt},
        {S::SliderSingleStepAdd, -1500, -1480},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScrollPosition(c.action, c.p, 333, 2000, -1000, 1000), c.expected) << c.action << " at " << c.p;
    }
}

TEST(StructureView, UnforcedWeightCopiesWaitForTheClock) {
    WeightCopyClock clock;
    EXPECT_FALSE(clock.ShouldCopy(5000));  // the first request only starts the clock
    EXPECT_FALSE(clock.ShouldCopy(5299));
    EXPECT_TRUE(clock.ShouldCopy(5300));
    EXPECT_FALSE(clock.ShouldCopy(5500));
    EXPECT_TRUE(clock.ShouldCopy(5600));
}

TEST(StructureView, ForcedWeightCopyReachesTheCopyAndItsRecords) {
    CNNStructureDialog dialog(nullptr, nullptr);
    CFeedForwardNeuralNetwork network = Network(2, {2, 1});
    dialog.SetNetwork(network);
    network.GetLayer(0).Weights()[1] = -7.5;
    EXPECT_NE(dialog.GetNetworkCopy()->GetLayer(0).Weights()[1], -7.5);  // a copy, not the network
    dialog.UpdateWeights(&network, 1);
    EXPECT_EQ(dialog.GetNetworkCopy()->GetLayer(0).Weights()[1], -7.5);
    dialog.RenderFrame(QSize(600, 400));
    EXPECT_EQ(dialog.GetViewObjects()[0].weight, -7.5);
}

TEST(StructureView, HoverNeedsTheLeftButtonUnlessOnlineInfoIsOn) {
    CNNStructureDialog dialog(nullptr, nullptr);
    dialog.SetNetwork(Network(2, {2, 1}));
    dialog.resize(900, 600);
    QFrame* frame = dialog.DrawingFrame();
    dialog.RenderFrame();
    const QPoint neuron = QPoint(312, 137) + frame->contentsRect().topLeft();
    auto move = [&](Qt::MouseButtons buttons) {
        QMouseEvent event(QEvent::MouseMove, neuron, frame->mapToGlobal(neuron), Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(frame, &event);
    };
    dialog.OnOnlineNetInfo();  // off
    move(Qt::NoButton);
    EXPECT_EQ(dialog.HitTestAt(312, 137).kind, ViewObject::kNeuron);
    QImage before = dialog.RenderFrame();
    move(Qt::LeftButton);
    QImage after = dialog.RenderFrame();
    EXPECT_NE(before, after);  // the hovered neuron's rings and its balloon
    // The three rings at the screen radius 25 + 7, right of the centre.
    std::vector<QColor> ring;
    for (int x = 312 + 26; x < 312 + 38; ++x) {
        if (ring.empty() || ring.back() != after.pixelColor(x, 137)) ring.push_back(after.pixelColor(x, 137));
    }
    const std::vector<QColor> rings = {QColor(170, 170, 255), QColor(85, 85, 255), QColor(0, 0, 255)};
    EXPECT_NE(std::search(ring.begin(), ring.end(), rings.begin(), rings.end()), ring.end());
}

TEST(StructureView, AnyMoveOverTheWindowOutsideTheDrawingClearsTheHover) {
    CNNStructureDialog dialog(nullptr, nullptr);
    dialog.SetNetwork(Network(2, {2, 1}));
    dialog.resize(900, 600);
    QFrame* frame = dialog.DrawingFrame();
    const QImage plain = dialog.RenderFrame();
    const QPoint neuron = QPoint(312, 137) + frame->contentsRect().topLeft();
    const QPoint overNeuron = frame->mapTo(&dialog, neuron);
    // Over the controls' band: the dialog itself, a group box, a check box, a label.
    for (const QPoint outside : {QPoint(890, 5), QPoint(10, 5), QPoint(20, 50), QPoint(340, 37)}) {
        const auto moveTo = [&](const QPoint& at) {
            QWidget* target = dialog.childAt(at) != nullptr ? dialog.childAt(at) : &dialog;
            const QPoint local = target->mapFrom(&dialog, at);
            QMouseEvent event(QEvent::MouseMove, local, target->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        };
        moveTo(overNeuron);
        EXPECT_NE(dialog.RenderFrame(), plain);  // the balloon and the rings
        moveTo(outside);
        EXPECT_EQ(dialog.RenderFrame(), plain) << outside.x() << "," << outside.y();
    }
}

TEST(StructureView, ControlsKeepTheTemplatesSizesWithTheirTextsWhole) {
    CNNStructureDialog dialog(nullptr, nullptr);
    dialog.StartTraining(Network(2, {2, 1}));  // every control shown
    const struct {
        int id;
        QString text;
        QSize units;
        bool checkBox;
    } controls[] = {
        {CNNStructureDialog::kIdOnlineNetInfo, "Online Net Info (No LClick Required)", {129, 10}, true},
        {CNNStructureDialog::kIdLcGraph, "LC Graph On", {54, 10}, true},
        {CNNStructureDialog::kIdRmsGraph, "RMS Graph", {50, 10}, true},
        {CNNStructureDialog::kIdPerformance, "Performance", {53, 10}, true},
        {CNNStructureDialog::kIdShowStorms, "Show Storms", {54, 10}, true},
        {CNNStructureDialog::kIdEpochsLabel, "Epochs:", {27, 8}, false},
        {CNNStructureDialog::kIdRmsLabel, "Current RMS:", {44, 8}, false},
        {CNNStructureDialog::kIdGoalLabel, "Emax (goal) :", {42, 8}, false},
        {CNNStructureDialog::kIdLcLabel, "LC:", {11, 8}, false},
    };
    for (const auto& c : controls) {
        QWidget* control = dialog.Control(c.id);
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_EQ(control->size(), QSize(c.units.width() * 6 / 4, c.units.height() * 13 / 8)) << c.id;
        const QStyle* look = control->style();
        const int mark = c.checkBox ? look->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, control) +
                                          look->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, control)
                                    : 0;
        EXPECT_LE(QFontMetrics(control->font()).horizontalAdvance(c.text), control->width() - mark) << c.id;
    }
}

TEST(StructureView, WindowKeepsItsMinimumSizeAndCloseOnlyHides) {
    CNNStructureDialog dialog(nullptr, nullptr);
    dialog.resize(50, 50);
    EXPECT_GE(dialog.height(), 300);
    EXPECT_GE(dialog.width(), 213 + 100 + 50);
    EXPECT_EQ(dialog.GetShowState(), 5);
    dialog.close();
    EXPECT_EQ(std::make_pair(dialog.GetShowState(), dialog.isVisible()), std::make_pair(0, false));
    dialog.close();
    EXPECT_EQ(dialog.GetShowState(), 0);
    dialog.ToggleVisible();
    EXPECT_EQ(std::make_pair(dialog.GetShowState(), dialog.isVisible()), std::make_pair(5, true));
}

}  // namespace
