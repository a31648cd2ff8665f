// CChartViewer: a top-level window that shows one labelled series as bars or as a line, under a
// title, with a value axis and a dotted grid. The editor view makes 20 of them, hidden, and fills
// them from the script's CreateChart; its menu switches bars/line and the labels' direction.
// Closing the window only hides it. Every operation runs in the GUI thread.
// Texts (title, labels) are code page 1256, as the interpreter hands them over.
#pragma once

#include <QImage>
#include <QWidget>
#include <memory>
#include <string>

template <typename T>
class CDynaArray;
class QMenuBar;
struct ChartPicture;

struct ChartPoint {
    double value = 0.0;
    std::string label;
};

class CChartViewer : public QWidget {
    Q_OBJECT
public:
    enum Style : int { kLine = 1, kBars = 2 };

    // Made hidden (show state 0), reset, bars, horizontal labels.
    explicit CChartViewer(QWidget* parent = nullptr);
    ~CChartViewer() override;

    // No points, range emptied, title "Untitled"; the window caption is not touched.
    void Reset();
    // Appends the point and widens the range (the minimum never above 0 once a point is added).
    void AddPoint(const ChartPoint& point);
    // Hidden (0) <-> shown (5).
    void ToggleVisible();
    // The title drawn at the top; also the window caption.
    void SetTitle(const std::string& title);
    const std::string& GetTitle() const { return title_; }
    // 0 hidden, 5 shown.
    int GetShowState() const { return showState_; }
    // Repaints at once (the view's synchronous repaint after filling a chart).
    void RepaintNow();

    // Menu commands.
    void OnSwitchMode();
    void OnSwitchLabelsDir();

    int GetChartStyle() const { return chartStyle_; }
    int GetLabelDirection() const { return labelDirection_; }
    double GetMaximum() const { return maximum_; }
    double GetMinimum() const { return minimum_; }
    const CDynaArray<ChartPoint>& GetPoints() const { return *points_; }

    // The picture a paint draws, at the client size (or `size` when valid).
    QImage Render(QSize size = QSize()) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<CDynaArray<ChartPoint>> points_;
    double maximum_ = -1e11;
    double minimum_ = 1e11;
    std::string title_;
    int showState_ = 0;
    int chartStyle_ = kBars;
    int labelDirection_ = 0;
    QMenuBar* menuBar_ = nullptr;
    QWidget* canvas_ = nullptr;
    // What a paint draws: the values and the labels as display text.
    std::unique_ptr<ChartPicture> picture_;
};
