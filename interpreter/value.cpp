#include "interpreter/value.h"

#include <cmath>
#include <cstdlib>
#include <new>
#include <utility>

#include "base/matrix.h"
#include "base/number_text.h"

// The further elements go first: freeing them reads the type.
Value::~Value() {
    if (elements != nullptr) FreeElements();
    ClearValue();
}

Value::Value(const Value& other) { CopyFrom(other); }

Value& Value::operator=(const Value& other) {
    if (this != &other) CopyFrom(other);
    return *this;
}

Value::Value(Value&& other) noexcept
    : name(std::move(other.name)), type(other.type), value(other.value), index(other.index),
      count(other.count), scope(std::move(other.scope)), elements(other.elements) {
    other.type = kTypeNone;
    other.value = Payload{};
    other.elements = nullptr;
}

Value& Value::operator=(Value&& other) noexcept {
    if (this != &other) {
        FreeElements();
        ClearValue();
        name = std::move(other.name);
        type = other.type;
        value = other.value;
        index = other.index;
        count = other.count;
        scope = std::move(other.scope);
        elements = other.elements;
        other.type = kTypeNone;
        other.value = Payload{};
        other.elements = nullptr;
    }
    return *this;
}

namespace {

// A deep copy of a slot of the type (a File shares the handle).
Value::Payload CopiedPayload(int type, const Value::Payload& from) {
    Value::Payload to{};
    switch (type) {
        case kTypeInteger: to.integer = from.integer; break;
        case kTypeFloat: to.number = from.number; break;
        case kTypeString: to.text = new std::string(from.text ? *from.text : std::string()); break;
        case kTypeMatrix: to.matrix = from.matrix ? new CMatrix(*from.matrix) : new CMatrix(); break;
        case kTypeFile: to.file = from.file; break;
        default: break;
    }
    return to;
}

}  // namespace

void Value::CopyFrom(const Value& other) {
    if (this == &other) return;
    CopyHeaderFrom(other);
    index = other.index;
    value = CopiedPayload(other.type, other.value);
}

void Value::CopyElementFrom(const Value& other, int element) {
    if (this == &other) return;
    CopyHeaderFrom(other);
    index = element;
    value = CopiedPayload(other.type, other.Element(element));
}

void Value::CopyHeaderFrom(const Value& other) {
    if (elements != nullptr) FreeElements();
    ClearValue();
    name = other.name;
    // A run's records have an empty scope: two empty strings compare inline, an assignment is a call.
    if (scope != other.scope) scope = other.scope;
    count = other.count;
    type = other.type;
}

bool Value::MakeElements(int rows, int cols) {
    FreeElements();
    if (count < 2) return true;
    // Zero bytes are every type's empty value; the block is taken zero-filled, so pages no element
    // has touched yet cost nothing.
    auto* slots = static_cast<Payload*>(std::calloc(static_cast<std::size_t>(count - 1), sizeof(Payload)));
    if (slots == nullptr) return false;
    if (type == kTypeMatrix) {
        for (int i = 0; i < count - 1; ++i) {
            CMatrix* m = new (std::nothrow) CMatrix(rows, cols, name);
            if (m == nullptr) {
                elements = slots;
                FreeElements();
                return false;
            }
            slots[i].matrix = m;
        }
    }
    elements = slots;
    return true;
}

void Value::FreeElements() {
    if (elements == nullptr) return;
    if (type == kTypeString || type == kTypeMatrix) {
        for (int i = 0; i < count - 1; ++i) {
            if (type == kTypeString) delete elements[i].text;
            else delete elements[i].matrix;
        }
    }
    std::free(elements);
    elements = nullptr;
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
    return type == kTypeString ? SlotText(value) : SlotText(Payload{});
}

const std::string& Value::SlotText(const Payload& slot) {
    static const std::string empty;
    return slot.text ? *slot.text : empty;
}

void Value::SetSlotText(Payload& slot, const std::string& text) {
    if (slot.text)
        *slot.text = text;
    else
        slot.text = new std::string(text);
}

std::int32_t LeadingInteger(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > 2147483648LL) magnitude = 2147483648LL;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX) return INT32_MAX;
    return static_cast<std::int32_t>(value);
}

void AssignTextToSlot(Value::Payload& slot, int type, const std::string& text) {
    if (type == kTypeInteger)
        slot.integer = LeadingInteger(text);
    else if (type == kTypeFloat)
        slot.number = DecimalTextToDouble(text);
    else if (type == kTypeString)
        Value::SetSlotText(slot, text);
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
