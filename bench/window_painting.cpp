// Paint times of the structure-and-training window and the chart window, drawn off-screen as a
// paint does: the structure of 64-128-128-10 and 784-300-10 in a 1200 x 800 frame (at the window's
// starting zoom and zoomed out to show the whole network), the training curves of a million
// epochs, a chart of 10,000 points, one hover's hit test and the cost of one curve point.
#include "base/dyna_array.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <clocale>
#include <cstdlib>
#include <vector>

#include "network/feed_forward_network.h"
#include "windows/chart_viewer.h"
#include "windows/nn_structure_dialog.h"
#include "windows/structure_painter.h"

namespace {

CFeedForwardNeuralNetwork Network(int inputs, std::vector<int> layers) {
    CFeedForwardNeuralNetwork network;
    network.SetInputCount(inputs);
    network.SetLayers(layers);
    for (int i = 0; i < network.GetLayerCount(); ++i) {
        NeuronLayer& layer = network.GetLayer(i);
        for (std::size_t k = 0; k < layer.WeightCount(); ++k) layer.Weights()[k] = 0.001 * static_cast<double>(k % 997);
    }
    return network;
}

void Structure(benchmark::State& state, int inputs, std::vector<int> layers, float zoom) {
    const CFeedForwardNeuralNetwork network = Network(inputs, layers);
    StructureGeometry geometry;
    geometry.zoom = zoom;
    const StructureHover hover;
    QImage image(1200, 800, QImage::Format_RGB32);
    CDynaArray<ViewObject> objects(100000, "NN Structure View Objects");
    for (auto _ : state) {
        objects.SetSize(0);  // every paint records, as the first after a layout change does
        image.fill(Qt::white);
        QPainter painter(&image);
        PaintStructure(painter, image.size(), network, geometry, hover, &objects);
    }
    state.counters["connections"] = static_cast<double>(network.GetConnectionTotal());
    state.counters["recorded"] = objects.GetCount();
}

// One hover over the middle of the drawing, as every mouse move with online net info does.
void HoverHitTest(benchmark::State& state, int inputs, std::vector<int> layers, float zoom) {
    const CFeedForwardNeuralNetwork network = Network(inputs, layers);
    StructureGeometry geometry;
    geometry.zoom = zoom;
    QImage image(1200, 800, QImage::Format_RGB32);
    CDynaArray<ViewObject> objects(100000, "NN Structure View Objects");
    QPainter painter(&image);
    PaintStructure(painter, image.size(), network, geometry, StructureHover(), &objects);
    int x = 0;
    for (auto _ : state) {
        x = (x + 37) % 1200;
        benchmark::DoNotOptimize(HitTest(objects, x, 400, {0, 0, 1200, 800}, geometry.ScreenRadius(), 16));
    }
}

void TrainingCurves(benchmark::State& state) {
    CNNStructureDialog dialog(nullptr, nullptr);
    dialog.hide();
    const CFeedForwardNeuralNetwork network = Network(2, {10, 1});
    dialog.StartTraining(network);
    double e = 0.5;
    for (int i = 0; i < 1000000; ++i) {
        e *= 0.999995;
        dialog.AddCurvePoint(0, e, 0);
        dialog.AddCurvePoint(1, 1.0, 0);
        if (i % 1000 == 0) dialog.AddCurvePoint(2, 0.5 + i / 4e6, 1);
    }
    dialog.UpdateTrainingInfo(1000000, 1000000, e, 0.001, 1.0, 1.0);
    for (auto _ : state) benchmark::DoNotOptimize(dialog.RenderFrame(QSize(1200, 800)));
}

void CurvePoint(benchmark::State& state) {
    CNNStructureDialog dialog(nullptr, nullptr);
    dialog.hide();
    dialog.StartTraining(Network(2, {10, 1}));
    double e = 0.5;
    long long n = 0;
    for (auto _ : state) {
        dialog.AddCurvePoint(0, e, 0);
        if (++n == 5000000) {
            state.PauseTiming();
            dialog.StartTraining(Network(2, {10, 1}));
            n = 0;
            state.ResumeTiming();
        }
    }
}

void Chart(benchmark::State& state, int style, QSize size) {
    CChartViewer chart;
    chart.SetTitle("Ten thousand points");
    for (int i = 0; i < 10000; ++i) chart.AddPoint({(i * 7919) % 1000 / 10.0, std::to_string(i + 1)});
    if (style == CChartViewer::kLine) chart.OnSwitchMode();
    for (auto _ : state) benchmark::DoNotOptimize(chart.Render(size));
}

}  // namespace

BENCHMARK_CAPTURE(Structure, net_64_128_128_10_zoom_0_5, 64, std::vector<int>{128, 128, 10}, 0.5f)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Structure, net_64_128_128_10_whole, 64, std::vector<int>{128, 128, 10}, 0.028f)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Structure, net_784_300_10_zoom_0_5, 784, std::vector<int>{300, 10}, 0.5f)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Structure, net_784_300_10_whole, 784, std::vector<int>{300, 10}, 0.0048f)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(HoverHitTest, net_784_300_10_zoom_0_5, 784, std::vector<int>{300, 10}, 0.5f)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(HoverHitTest, net_784_300_10_whole, 784, std::vector<int>{300, 10}, 0.0048f)->Unit(benchmark::kMillisecond);
BENCHMARK(TrainingCurves)->Unit(benchmark::kMillisecond);
BENCHMARK(CurvePoint);
BENCHMARK_CAPTURE(Chart, bars_10000_window, CChartViewer::kBars, QSize(550, 245))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Chart, bars_10000_1200x800, CChartViewer::kBars, QSize(1200, 800))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Chart, line_10000_1200x800, CChartViewer::kLine, QSize(1200, 800))->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
