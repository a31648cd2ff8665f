// ViewObject: one element drawn by the structure view (a neuron or a connection), recorded for the
// hit test in the drawing frame's pixels at the time of drawing.
#pragma once

struct ViewObject {
    enum Kind : int { kNone = 0, kNeuron = 1, kConnection = 2 };
    int kind = kNone;
    int x1 = 0;  // neuron: centre x; connection: start x
    int y1 = 0;  // neuron: centre y; connection: start y
    int x2 = 0;  // neuron: layer index (1 .. L); connection: end x
    int y2 = 0;  // neuron: index in its layer; connection: end y
    double weight = 0.0;
    int id1 = 0;  // the layer on the connection's source side
    int id2 = 0;  // target identifier
    int id3 = 0;  // source identifier; -1 - neuron index for a bias connection

    static ViewObject Neuron(int x, int y, int layer, int index) {
        ViewObject o;
        o.kind = kNeuron;
        o.x1 = x;
        o.y1 = y;
        o.x2 = layer;
        o.y2 = index;
        return o;
    }
    static ViewObject Connection(int x1, int y1, int x2, int y2, double weight, int id1, int id2, int id3) {
        ViewObject o;
        o.kind = kConnection;
        o.x1 = x1;
        o.y1 = y1;
        o.x2 = x2;
        o.y2 = y2;
        o.weight = weight;
        o.id1 = id1;
        o.id2 = id2;
        o.id3 = id3;
        return o;
    }

    // Copies the kind and what that kind uses.
    void CopyFrom(const ViewObject& other);
};
