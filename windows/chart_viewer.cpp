#include "windows/chart_viewer.h"

#include "base/dyna_array.h"

#include <QCloseEvent>

CChartViewer::CChartViewer(QWidget* parent)
    : QWidget(parent, Qt::Window), points_(std::make_unique<CDynaArray<ChartPoint>>(1000, "Chart Viewer Points")) {
    Reset();
}

CChartViewer::~CChartViewer() = default;

void CChartViewer::Reset() {
    points_->RemoveAll();
    maximum_ = -1e11;
    minimum_ = 1e11;
    title_ = "Untitled";
}

void CChartViewer::AddPoint(const ChartPoint& point) { points_->Add(point); }

void CChartViewer::ToggleVisible() {
    showState_ = showState_ == 0 ? 5 : 0;
    setVisible(showState_ == 5);
}

void CChartViewer::SetTitle(const std::string& title) { title_ = title; }

void CChartViewer::RepaintNow() { repaint(); }

void CChartViewer::OnSwitchMode() {}

void CChartViewer::OnSwitchLabelsDir() {}

QImage CChartViewer::Render(QSize size) const { return QImage(size, QImage::Format_RGB32); }

void CChartViewer::paintEvent(QPaintEvent*) {}

void CChartViewer::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}
