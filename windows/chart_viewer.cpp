#include "windows/chart_viewer.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QPainter>
#include <QVBoxLayout>

#include "base/dyna_array.h"
#include "platform/cp1256.h"
#include "windows/chart_painter.h"
#include "windows/dialog_units.h"
#include "windows/show_state.h"

namespace {

QString DisplayText(const std::string& cp1256Text) { return QString::fromStdString(cp1256::ToUtf8(cp1256Text)); }

// The client area below the menu: the whole chart is drawn off-screen and copied in one go.
class ChartCanvas : public QWidget {
public:
    ChartCanvas(QWidget* parent, const CChartViewer& chart) : QWidget(parent), chart_(chart) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, chart_.Render(size()));
    }

private:
    const CChartViewer& chart_;
};

}  // namespace

CChartViewer::CChartViewer(QWidget* parent)
    : QWidget(parent, Qt::Window),
      points_(std::make_unique<CDynaArray<ChartPoint>>(1000, "Chart Viewer Points")),
      picture_(std::make_unique<ChartPicture>()) {
    setFont(DialogFont());
    menuBar_ = new QMenuBar(this);
    menuBar_->addAction("SwitchMode", this, &CChartViewer::OnSwitchMode);
    menuBar_->addAction("SwitchLabelsDir", this, &CChartViewer::OnSwitchLabelsDir);
    canvas_ = new ChartCanvas(this, *this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    layout->addWidget(canvas_);
    resize(DialogUnits(DialogFont()).Size(QSize(367, 151)) + QSize(0, menuBar_->sizeHint().height()));
    showState_ = 0;
    Reset();
}

CChartViewer::~CChartViewer() = default;

void CChartViewer::Reset() {
    points_->RemoveAll();
    picture_->values.clear();
    picture_->labels.clear();
    picture_->widestLabel = -1;
    maximum_ = -1e11;
    minimum_ = 1e11;
    title_ = "Untitled";
}

void CChartViewer::AddPoint(const ChartPoint& point) {
    if (points_->Add(point)) {
        picture_->values.push_back(point.value);
        picture_->labels.push_back(DisplayText(point.label));
        picture_->widestLabel = -1;
    }
    if (point.value < minimum_) minimum_ = point.value;
    if (point.value > maximum_) maximum_ = point.value;
    if (minimum_ > 0) minimum_ = 0;
}

void CChartViewer::ToggleVisible() { ToggleShowState(*this, showState_); }

void CChartViewer::SetTitle(const std::string& title) {
    title_ = title;
    setWindowTitle(DisplayText(title));
}

void CChartViewer::RepaintNow() { canvas_->repaint(); }

void CChartViewer::OnSwitchMode() {
    chartStyle_ += 1;
    if (chartStyle_ == 3) chartStyle_ = 1;
    canvas_->update();
}

void CChartViewer::OnSwitchLabelsDir() {
    labelDirection_ = labelDirection_ == 0 ? 1 : 0;
    canvas_->update();
}

QImage CChartViewer::Render(QSize size) const {
    if (!size.isValid()) size = canvas_->size();
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    picture_->title = DisplayText(title_);
    picture_->maximum = maximum_;
    picture_->minimum = minimum_;
    picture_->style = chartStyle_;
    picture_->labelDirection = labelDirection_;
    PaintChart(painter, size, *picture_);
    return image;
}

void CChartViewer::closeEvent(QCloseEvent* event) {
    if (showState_ == 5) ToggleVisible();
    event->accept();
}
