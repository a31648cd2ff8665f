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

    // Copies the kind and what that kind uses.
    void CopyFrom(const ViewObject& other);
};
