#include "interpreter/value.h"

#include <cmath>
#include <utility>

#include "base/matrix.h"
#include "base/number_text.h"

Value::~Value() { ClearValue(); }

Value::Value(const Value& other) { CopyFrom(other); }

Value& Value::operator=(const Value& other) {
    if (this != &other) CopyFrom(other);
    return *this;
}

Value::Value(Value&& other) noexcept
    : name(std::move(other.name)), type(other.type), value(other.value), index(other.index),
      count(other.count), scope(std::move(other.scope)) {
    other.type = kTypeNone;
    other.value = Payload{};
}

Value& Value::operator=(Value&& other) noexcept {
    if (this != &other) {
        ClearValue();
        name = std::move(other.name);
        type = other.type;
        value = other.value;
        index = other.index;
        count = other.count;
        scope = std::move(other.scope);
        other.type = kTypeNone;
        other.value = Payload{};
    }
    return *this;
}

void Value::CopyFrom(const Value& other) {
    if (this == &other) return;
    ClearValue();
    name = other.name;
    // A run's records have an empty scope: two empty strings compare inline, an assignment is a call.
    if (scope != other.scope) scope = other.scope;
    index = other.index;
    count = other.count;
    type = other.type;
    switch (other.type) {
        case kTypeInteger: value.integer = other.value.integer; break;
        case kTypeFloat: value.number = other.value.number; break;
        case kTypeString: value.text = new std::string(other.value.text ? *other.value.text : std::string()); break;
        case kTypeMatrix: value.matrix = other.value.matrix ? new CMatrix(*other.value.matrix) : new CMatrix(); break;
        case kTypeFile: value.file = other.value.file; break;
        default: value = Payload{}; break;
    }
}

void Value::FreeOwned() {
    if (type == kTypeString) delete value.text;
    if (type == kTypeMatrix) delete value.matrix;
}

void Value::SetString(const std::string& v) {
    if (type == kTypeString && value.text) {
        *value.text = v;
        return;
    }
    auto* s = new std::string(v);
    ClearValue();
    type = kTypeString;
    value.text = s;
}

void Value::SetMatrix(CMatrix* m) {
    ClearValue();
    type = kTypeMatrix;
    value.matrix = m;
}

const std::string& Value::Text() const {
    static const std::string empty;
    return type == kTypeString && value.text ? *value.text : empty;
}

std::string ValueToText(const Value& v, bool executing) {
    switch (v.type) {
        case kTypeInteger: return std::to_string(v.value.integer);
        case kTypeFloat: return FormatNumberTrimmed(v.value.number);
        case kTypeString: return v.Text();
        case kTypeMatrix: return executing && v.value.matrix ? v.value.matrix->toString() : std::string();
        default: return std::string();
    }
}

std::int32_t DoubleToInt32(double d) {
    if (!(d > -2147483649.0 && d < 2147483648.0)) return INT32_MIN;
    return static_cast<std::int32_t>(d);
}
