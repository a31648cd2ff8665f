#include "windows/structure_painter.h"

#include <QLine>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

#include "base/dyna_array.h"
#include "network/feed_forward_network.h"
#include "windows/drawing_helpers.h"
#include "windows/pictures.h"
#include "windows/pixel_lines.h"

int StructureGeometry::InputMarkSize() const {
    const int m = 2 + static_cast<int>(ScreenRadius() / 2.5);
    return m > 10 ? 20 : m;
}

namespace {

const QColor kRed(255, 0, 0);

// One paint of the structure: the pens, the pending lines and the recorded elements.
class StructurePainter {
public:
    StructurePainter(QPainter& painter, QSize frame, const CFeedForwardNeuralNetwork& network,
                     const StructureGeometry& g, const StructureHover& hover, CDynaArray<ViewObject>* record)
        : p_(painter), frame_(frame), net_(network), g_(g), hover_(hover), record_(record) {}

    StructureExtent Paint();

private:
    int LayerSize(int i) const { return i == 0 ? net_.GetInputCount() : net_.GetLayerSize(i - 1); }
    // Weight j of neuron k of computed layer i (1 .. L); 0.0 outside the neuron's connections.
    double Weight(int i, int k, int j) const;
    double BiasWeight(int i, int k) const;
    int X(int i) const { return g_.Sx(i * g_.layerSpacing + g_.radius / 2); }
    int Y(int i, int j) const { return g_.Sy(j * g_.neuronSpacing + offsets_[i] + g_.radius + g_.radius / 2); }

    void Widen(int x, int y);
    void Line(int x1, int y1, int x2, int y2) { pending_.emplace_back(x1, y1, x2, y2); }
    void Flush();
    void Record(const ViewObject& object);
    void Connection(int x1, int y1, int x2, int y2, double weight, int id1, int id2, int id3);
    void InputLayer();
    void InputMarks();
    void ComputedNeuron(int i, int j, int x, int y);
    void BiasArrow(int i, int j, int x, int y);
    bool HoveredConnection(int i, int k, int j) const;

    QPainter& p_;
    QSize frame_;
    const CFeedForwardNeuralNetwork& net_;
    const StructureGeometry& g_;
    const StructureHover& hover_;
    CDynaArray<ViewObject>* record_;
    std::vector<int> offsets_;
    std::vector<QLine> pending_;
    QImage neuron_;
    int r_ = 0;  // screen radius
    int layers_ = 0;
    QPoint biasInputEnd_;
    StructureExtent extent_{1000000, 1000000, -1000000, -1000000};
};

double StructurePainter::Weight(int i, int k, int j) const {
    const NeuronLayer& layer = net_.GetLayer(i - 1);
    const int per = layer.GetInputsPerNeuron();
    if (j < 0 || j >= per || k < 0 || k >= layer.GetNeuronCount()) return 0.0;
    return layer.Weights()[static_cast<std::size_t>(k) * per + j];
}

double StructurePainter::BiasWeight(int i, int k) const {
    return Weight(i, k, net_.GetLayer(i - 1).GetInputsPerNeuron() - 1);
}

void StructurePainter::Widen(int x, int y) {
    extent_[0] = std::min(extent_[0], x);
    extent_[1] = std::min(extent_[1], y);
    extent_[2] = std::max(extent_[2], x);
    extent_[3] = std::max(extent_[3], y);
}

void StructurePainter::Flush() {
    if (pending_.empty()) return;
    // Into the frame's image directly when the painter draws there untransformed and unclipped.
    auto* image = dynamic_cast<QImage*>(p_.device());
    const bool direct = image && p_.transform().isIdentity() && !p_.hasClipping() &&
                        DrawPixelLines(*image, pending_.data(), static_cast<int>(pending_.size()), kRed.rgb());
    if (!direct) {
        p_.setPen(QPen(kRed, 1));
        p_.drawLines(pending_.data(), static_cast<int>(pending_.size()));
    }
    pending_.clear();
}

void StructurePainter::Record(const ViewObject& object) {
    if (record_) record_->Add(object);
}

bool StructurePainter::HoveredConnection(int i, int k, int j) const {
    return hover_.connection[0] == i && hover_.connection[1] == k &&
           (hover_.connection[2] == j || hover_.connection[2] == -j);
}

void StructurePainter::Connection(int x1, int y1, int x2, int y2, double weight, int id1, int id2, int id3) {
    if (HoveredConnection(id1, id2, id3)) {
        Flush();
        p_.setPen(QPen(QColor(255, 170, 170), 5));
        p_.drawLine(x1, y1, x2, y2);
        p_.setPen(QPen(QColor(255, 85, 85), 3));
        p_.drawLine(x1, y1, x2, y2);
    }
    Line(x1, y1, x2, y2);
    Widen(x1, y1);
    Widen(x2, y2);
    Record(ViewObject::Connection(x1, y1, x2, y2, weight, id1, id2, id3));
}

void StructurePainter::InputLayer() {
    const int n0 = LayerSize(0);
    const int x0 = X(0);
    for (int j = n0 - 1; j >= 0; --j) {
        const int y = Y(0, j);
        Widen(x0, y);
        if (j == n0 - 1) {
            const int end = x0 + static_cast<int>(0.7 * r_);
            const int k1 = static_cast<int>(0.28 * r_);
            const int k2 = static_cast<int>(0.2333 * r_);
            Line(x0, y, end, y);
            Line(end - k1, y - k1, end + k1, y + k1);
            Line(end - k2, y - k2 - 3, end + k2, y + k2 - 3);
            biasInputEnd_ = QPoint(end, y);
            Widen(end, y);
            continue;
        }
        const int x1 = X(1);
        for (int k = 0; k < LayerSize(1); ++k) Connection(x0, y, x1, Y(1, k), Weight(1, k, j), 0, k, j);
    }
    // Each input's marks cover the lines drawn before them; drawing them after the last input
    // gives the same picture as redrawing them after every input.
    Flush();
    InputMarks();
}

void StructurePainter::InputMarks() {
    const int n0 = LayerSize(0);
    const int x0 = X(0);
    const int m = g_.InputMarkSize();
    const int k = static_cast<int>(m / 2.5);
    p_.setPen(QPen(kRed, 1));
    p_.setBrush(kRed);
    for (int q = 0; q < n0; ++q) {
        const int y = Y(0, q);
        if (q < n0 - 1) {
            const int l = x0 - m / 2, t = y - m / 2, r = x0 + m / 2, b = y + m / 2;
            p_.drawEllipse(QRect(l, t, r - l - 1, b - t - 1));
        } else {
            p_.drawRect(QRect(x0 - k + 1, y - k + 1, 2 * k - 2, 2 * k - 2));
        }
        p_.drawLine(x0, y, x0 - r_, y);
    }
    p_.setBrush(Qt::NoBrush);
}

void StructurePainter::BiasArrow(int i, int j, int x, int y) {
    const int e = y + static_cast<int>(1.7 * r_);
    const int k1 = static_cast<int>(0.28 * r_);
    const int k2 = static_cast<int>(0.2333 * r_);
    const int next = i < layers_ ? LayerSize(i + 1) : 0;
    const int id3 = -1 - j;
    if (HoveredConnection(i, next, id3)) {
        Flush();
        p_.setPen(QPen(QColor(255, 80, 80), 1, Qt::DotLine));
        p_.drawLine(biasInputEnd_, QPoint(x, e));
        p_.setPen(QPen(kRed, 3));
        p_.drawLine(x, y, x, e);
        p_.drawLine(x - k1, e - k1, x + k1, e + k1);
        p_.drawLine(x - k2, e - k2 + 3, x + k2, e + k2 + 3);
    } else {
        Line(x, y, x, e);
        Line(x - k1, e - k1, x + k1, e + k1);
        Line(x - k2, e - k2 + 3, x + k2, e + k2 + 3);
    }
    Widen(x, y);
    Widen(x, e);
    Record(ViewObject::Connection(x, y, x, e, BiasWeight(i, j), i, next, id3));
}

void StructurePainter::ComputedNeuron(int i, int j, int x, int y) {
    BiasArrow(i, j, x, y);
    Flush();
    if (hover_.neuron[0] == i && hover_.neuron[1] == j) {
        const int ring = r_ + 7;
        const QRect box(x - ring, y - ring, 2 * ring - 1, 2 * ring - 1);
        p_.setPen(QPen(QColor(170, 170, 255), 6));
        p_.setBrush(Qt::white);
        p_.drawEllipse(box);
        p_.setBrush(Qt::NoBrush);
        p_.setPen(QPen(QColor(85, 85, 255), 3));
        p_.drawEllipse(box);
        p_.setPen(QPen(QColor(0, 0, 255), 1));
        p_.drawEllipse(box);
    }
    if (!neuron_.isNull()) p_.drawImage(x - r_, y - r_, neuron_);
    Record(ViewObject::Neuron(x, y, i, j));
}

StructureExtent StructurePainter::Paint() {
    layers_ = net_.GetLayerCount();
    if (layers_ < 1) return {-1000, -1000, 1000, 1000};
    int widest = 0;
    for (int i = 0; i <= layers_; ++i) widest = std::max(widest, LayerSize(i));
    for (int i = 0; i <= layers_; ++i) offsets_.push_back(((i == 0 ? 1 : 0) - LayerSize(i) + widest) * g_.neuronSpacing / 2);
    r_ = g_.ScreenRadius();
    if (r_ > 0) neuron_ = pictures::Neuron().scaled(2 * r_, 2 * r_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    pending_.reserve(4096);

    InputLayer();
    for (int i = 1; i < layers_; ++i) {
        const int x = X(i);
        const int xNext = X(i + 1);
        for (int j = LayerSize(i) - 1; j >= 0; --j) {
            const int y = Y(i, j);
            for (int k = 0; k < LayerSize(i + 1); ++k) {
                Connection(x, y, xNext, Y(i + 1, k), Weight(i + 1, k, j), i, k, j);
            }
            ComputedNeuron(i, j, x, y);
        }
    }
    const int x = X(layers_);
    const int outputLength = g_.XLength(4 * g_.radius);
    for (int j = 0; j < LayerSize(layers_); ++j) {
        const int y = Y(layers_, j);
        Line(x, y, x + outputLength, y);
        Widen(x + outputLength, y);
        ComputedNeuron(layers_, j, x, y);
    }
    Flush();
    return {extent_[0] - 1000, extent_[1] - 1000, extent_[2] + 1000, extent_[3] + 1000};
}

}  // namespace

StructureExtent PaintStructure(QPainter& painter, QSize frame, const CFeedForwardNeuralNetwork& network,
                               const StructureGeometry& geometry, const StructureHover& hover,
                               CDynaArray<ViewObject>* record) {
    StructureExtent extent = StructurePainter(painter, frame, network, geometry, hover, record).Paint();
    if (!hover.text.isEmpty()) {
        DrawBalloonLabel(painter, QRect(QPoint(0, 0), frame), hover.point.x() + hover.scroll.x() - geometry.h,
                         hover.point.y() + hover.scroll.y() - geometry.v, hover.text, false);
    }
    return extent;
}

ViewObject HitTest(const CDynaArray<ViewObject>& objects, int x, int y, FrameRect frame, int screenRadius,
                   int pickDistance) {
    double best = 1e7;
    const ViewObject* found = nullptr;
    for (const ViewObject& object : objects) {
        if (object.kind == ViewObject::kNeuron) {
            const bool inside = object.x1 >= frame.left && object.x1 <= frame.right && object.y1 >= frame.top &&
                                object.y1 <= frame.bottom;
            if (inside && std::hypot(x - object.x1, y - object.y1) <= screenRadius) {
                ViewObject result;
                result.CopyFrom(object);
                return result;
            }
            continue;
        }
        if (object.kind != ViewObject::kConnection) continue;
        // No sample of a connection whose box lies farther than the pick distance can be picked.
        if (x < std::min(object.x1, object.x2) - pickDistance || x > std::max(object.x1, object.x2) + pickDistance ||
            y < std::min(object.y1, object.y2) - pickDistance || y > std::max(object.y1, object.y2) + pickDistance) {
            continue;
        }
        const double dx = object.x2 - object.x1;
        const double dy = object.y2 - object.y1;
        const int samples = 5 - static_cast<int>(std::hypot(dx, dy) * -0.25);
        for (int i = 0; i <= samples; ++i) {
            const double px = dx * i / samples + object.x1;
            const double py = dy * i / samples + object.y1;
            if (px < frame.left || px > frame.right || py < frame.top || py >= frame.bottom) continue;
            const double distance = std::hypot(x - px, y - py);
            if (distance < pickDistance && distance < best) {
                best = distance;
                found = &object;
            }
        }
    }
    ViewObject result;
    if (found) result.CopyFrom(*found);
    return result;
}
