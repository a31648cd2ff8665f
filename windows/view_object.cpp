#include "windows/view_object.h"

void ViewObject::CopyFrom(const ViewObject& other) {
    kind = other.kind;
    if (kind == kNeuron) {
        x1 = other.x1;
        y1 = other.y1;
        x2 = other.x2;
        y2 = other.y2;
    } else if (kind == kConnection) {
        *this = other;
    }
}
