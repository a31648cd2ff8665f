// The structure view: the network's neurons and every weighted connection, drawn from the window's
// copy, and the hit test over the elements the last drawing recorded.
#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <array>

#include "windows/view_object.h"

template <typename T>
class CDynaArray;
class CFeedForwardNeuralNetwork;
class QPainter;

// Model units to frame pixels: zoom in single precision, scroll positions subtracted.
struct StructureGeometry {
    float zoom = 0.5f;
    int h = 0;
    int v = 0;
    int radius = 50;
    int layerSpacing = 300;
    int neuronSpacing = 200;

    int Sx(int x) const { return static_cast<int>(static_cast<float>(x) * zoom - static_cast<float>(h)); }
    int Sy(int y) const { return static_cast<int>(static_cast<float>(y) * zoom - static_cast<float>(v)); }
    int XLength(int d) const { return Sx(d) - Sx(0); }
    int ScreenRadius() const { return XLength(radius); }
    // The side of an input's mark: small marks grow with the zoom, then jump to 20.
    int InputMarkSize() const;
};

struct StructureHover {
    std::array<int, 3> connection{-1, -1, -1};
    std::array<int, 2> neuron{-1, -1};
    QString text;
    QPoint point;   // frame pixels when the hover was taken
    QPoint scroll;  // scroll positions then
};

// min x, min y, max x, max y of the drawing, widened by 1000 on each side.
using StructureExtent = std::array<int, 4>;

// Draws the copy into a white frame of `frame` pixels; appends every neuron and connection to
// `record` unless it is nullptr.
StructureExtent PaintStructure(QPainter& painter, QSize frame, const CFeedForwardNeuralNetwork& network,
                               const StructureGeometry& geometry, const StructureHover& hover,
                               CDynaArray<ViewObject>* record);

struct FrameRect {
    int left, top, right, bottom;
};

// The neuron under (x, y) (within the screen radius of a centre inside the frame), else the
// connection with the nearest sample point closer than pickDistance, else kind 0.
ViewObject HitTest(const CDynaArray<ViewObject>& objects, int x, int y, FrameRect frame, int screenRadius,
                   int pickDistance);
