// Chart windows: the range, grid step and label step, where bars, lines and axes land, the menu
// commands and closing.
#include <QImage>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

#include "base/dyna_array.h"
#include "windows/chart_painter.h"
#include "windows/chart_viewer.h"

namespace {

const QColor kBackground(245, 245, 245);
const QColor kBarFill(128, 128, 192);
const QSize kClient(430, 300);  // plot from x 30 to 400

void Fill(CChartViewer& chart, const std::vector<double>& values) {
    chart.Reset();
    for (std::size_t i = 0; i < values.size(); ++i) chart.AddPoint({values[i], std::to_string(i + 1)});
}

TEST(ChartViewer, RangeAndGridStep) {
    struct Case {
        std::vector<double> values;
        double minimum, maximum, step;
    };
    const std::vector<Case> cases = {
        {{1, 2, 3}, 0, 3, 0.5},
        {{-3, -1, -2}, -3, -1, 0.2},
        {{0, 0}, 0, 0, 1e-9},
        {{250}, 0, 250, 50},
        {{-0.004, 0.003}, -0.004, 0.003, 0.001},
    };
    CChartViewer chart;
    for (const Case& c : cases) {
        Fill(chart, c.values);
        EXPECT_EQ(std::make_pair(chart.GetMinimum(), chart.GetMaximum()), std::make_pair(c.minimum, c.maximum));
        EXPECT_DOUBLE_EQ(ChartGridStep(chart.GetMaximum() - chart.GetMinimum()), c.step);
    }
    EXPECT_EQ(ChartGridStep(1e11), 0);
    chart.Reset();
    EXPECT_EQ(std::make_tuple(chart.GetPoints().GetCount(), chart.GetMinimum(), chart.GetMaximum(), chart.GetTitle()),
              std::make_tuple(0, 1e11, -1e11, std::string("Untitled")));
}

TEST(ChartViewer, LabelStep) {
    EXPECT_EQ(ChartLabelStep(20, 400, 200), 15);
    EXPECT_EQ(ChartLabelStep(10, 400, 10), 1);
    EXPECT_EQ(ChartLabelStep(0, 400, 5000), 1);
}

TEST(ChartViewer, BarsAndAxesLandOnTheirPixels) {
    CChartViewer chart;
    Fill(chart, {1, 2});
    const QImage image = chart.Render(kClient);
    // bars of 185 pixels centred at 122 and 307; the plot's bottom 3 above 270; the title's top.
    const int bottom = 300 - 30 - 3;
    EXPECT_EQ(image.pixelColor(122, bottom - 10), kBarFill);
    EXPECT_EQ(image.pixelColor(307, bottom - 10), kBarFill);
    EXPECT_EQ(image.pixelColor(122, 60), kBackground);  // above the half-height bar ... below the title
    EXPECT_EQ(image.pixelColor(200, bottom), QColor(Qt::black));  // the 4-pixel axis
    EXPECT_EQ(image.pixelColor(30, 150), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(415, 150), kBackground);
}

TEST(ChartViewer, NegativeSeriesRisesFromTheBottomWithoutMarks) {
    CChartViewer chart;
    Fill(chart, {-3, -1});
    const QImage image = chart.Render(kClient);
    // The largest value reaches the plot's top; no value marks left of the axis.
    const int top = image.height();
    int firstFilled = top;
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixelColor(307, y) == kBarFill) {
            firstFilled = y;
            break;
        }
    }
    EXPECT_LT(firstFilled, 70);
    for (int y = 50; y < 260; ++y) ASSERT_EQ(image.pixelColor(5, y), kBackground) << y;
}

TEST(ChartViewer, OnePointAndAllZeros) {
    CChartViewer chart;
    Fill(chart, {4});
    chart.OnSwitchMode();  // line
    EXPECT_EQ(chart.GetChartStyle(), CChartViewer::kLine);
    QImage image = chart.Render(kClient);
    // One point at the plot's top: a line from it to the right end of the plot.
    int lineY = -1;
    for (int y = 0; y < 300; ++y) {
        if (image.pixelColor(390, y) == kBarFill) lineY = y;
    }
    EXPECT_GT(lineY, 30);
    EXPECT_LT(lineY, 70);
    Fill(chart, {0, 0, 0});
    image = chart.Render(kClient);
    EXPECT_EQ(image.pixelColor(215, lineY), kBarFill);  // every zero at the top
    chart.OnSwitchMode();
    EXPECT_EQ(chart.GetChartStyle(), CChartViewer::kBars);
}

TEST(ChartViewer, LineIsTwoPixelsCentredOnItsPointsWithRoundEnds) {
    CChartViewer chart;
    Fill(chart, {1, 1});  // points at x 122 and 307, both at the plot's top
    const QImage bars = chart.Render(kClient);
    int y = -1;  // the bar's top edge is the value's row
    for (int row = 0; row < kClient.height() && y < 0; ++row) {
        if (bars.pixelColor(122, row) != kBackground) y = row;
    }
    ASSERT_GT(y, 0);
    chart.OnSwitchMode();
    const QImage line = chart.Render(kClient);
    const struct {
        int x, y;
        bool drawn;
    } pixels[] = {
        {200, y - 2, false}, {200, y - 1, true}, {200, y, true}, {200, y + 1, false},  // centred, 2 rows
        {307, y - 1, true},  {307, y, true},     {309, y, false},                      // the last point drawn
        {121, y - 1, true},  {121, y, true},     {119, y, false},                      // a round start
    };
    for (const auto& p : pixels) EXPECT_EQ(line.pixelColor(p.x, p.y) == kBarFill, p.drawn) << p.x << "," << p.y;
}

TEST(ChartViewer, LabelDirectionMovesThePlotBottom) {
    CChartViewer chart;
    Fill(chart, {1, 2, 3});
    EXPECT_EQ(chart.Render(kClient).pixelColor(200, 300 - 33), QColor(Qt::black));
    chart.OnSwitchLabelsDir();
    EXPECT_EQ(chart.GetLabelDirection(), 1);
    const QImage vertical = chart.Render(kClient);
    EXPECT_EQ(vertical.pixelColor(200, 300 - 63), QColor(Qt::black));
    EXPECT_NE(vertical.pixelColor(200, 300 - 33), QColor(Qt::black));
    chart.OnSwitchLabelsDir();
    EXPECT_EQ(chart.GetLabelDirection(), 0);
}

TEST(ChartViewer, CloseHidesAndToggleShowsAgain) {
    CChartViewer chart;
    EXPECT_EQ(std::make_pair(chart.GetShowState(), chart.isVisible()), std::make_pair(0, false));
    chart.SetTitle("Sales");
    Fill(chart, {1});
    chart.ToggleVisible();
    EXPECT_EQ(std::make_pair(chart.GetShowState(), chart.isVisible()), std::make_pair(5, true));
    chart.close();
    EXPECT_EQ(std::make_pair(chart.GetShowState(), chart.isVisible()), std::make_pair(0, false));
    chart.ToggleVisible();
    EXPECT_EQ(chart.GetPoints().GetCount(), 1);
    EXPECT_EQ(chart.windowTitle(), "Sales");
}

}  // namespace
