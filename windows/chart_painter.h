// The picture of a chart window: background, title, bars or line, axes, point labels, value marks
// and the dotted grid, in client pixels.
#pragma once

#include <QSize>
#include <QString>
#include <vector>

class QPainter;

struct ChartPicture {
    QString title;
    std::vector<double> values;
    std::vector<QString> labels;
    double maximum = -1e11;
    double minimum = 1e11;
    int style = 2;           // 1 line, 2 bars
    int labelDirection = 0;  // 0 horizontal, 1 vertical
    // The widest label in the horizontal labels' font, measured at the first paint after the
    // points changed (-1: not yet).
    mutable int widestLabel = -1;
};

void PaintChart(QPainter& painter, QSize client, const ChartPicture& chart);

// The finest of 1, 2 and 5 times the powers of ten from 1e-9 to 1e9 that cuts the range into at
// most 10 steps; 0 when none does.
double ChartGridStep(double range);
// Every how many points a label is drawn: the widest label's footprint f times 1.5 over the
// space of one point, at least 1.
int ChartLabelStep(int footprint, int plotWidth, int points);
