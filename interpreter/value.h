// The interpreter's value and variable record: the type of every variable element and of every
// expression result (with an empty name). Integer and Float live inline, so arithmetic on them
// never touches the heap.
#pragma once

#include <cstdint>
#include <string>

class CMatrix;
namespace crt { class CrtFile; }

enum ValueType : int {
    kTypeNone = 0,
    kTypeInteger = 1,
    kTypeFloat = 2,
    kTypeString = 3,
    kTypeFile = 4,
    kTypeMatrix = 5,
    kTypeObjectInvalid = 6,
    kTypeFeedForwardNetwork = 7,
    kTypeLogicalNetwork = 8,
};

struct Value {
    std::string name;
    int type = kTypeNone;
    union Payload {
        std::int32_t integer;
        double number;
        std::string* text;      // owned
        crt::CrtFile* file;     // not owned: the end of the run (or of the block) closes it
        CMatrix* matrix;        // owned
    } value{};
    int index = 1;   // element number 1 .. count
    int count = 1;   // elements of the variable
    std::string scope;

    Value() = default;
    ~Value();
    Value(const Value& other);
    Value& operator=(const Value& other);
    Value(Value&& other) noexcept;
    Value& operator=(Value&& other) noexcept;

    // Name, type, scope, index, count and a deep copy of the value (File shares the handle).
    void CopyFrom(const Value& other);
    // Frees an owned string or matrix; type and value become none/cleared. Name, index, count and scope stay.
    void ClearValue() {
        // Inline for the common Integer/Float case: only a String or Matrix owns memory.
        if (type == kTypeString || type == kTypeMatrix) FreeOwned();
        type = kTypeNone;
        value = Payload{};
    }

    void SetInteger(std::int32_t v) { ClearValue(); type = kTypeInteger; value.integer = v; }
    void SetFloat(double v) { ClearValue(); type = kTypeFloat; value.number = v; }
    void SetString(const std::string& v);
    // Takes ownership of m.
    void SetMatrix(CMatrix* m);
    void SetFile(crt::CrtFile* f) { ClearValue(); type = kTypeFile; value.file = f; }

    bool IsNumber() const { return type == kTypeInteger || type == kTypeFloat; }
    // Integer or Float as double (0 for other types).
    double AsDouble() const {
        return type == kTypeInteger ? static_cast<double>(value.integer) : type == kTypeFloat ? value.number : 0.0;
    }
    const std::string& Text() const;  // the String's text ("" for other types)

private:
    void FreeOwned();  // deletes the owned string or matrix
};

// The text of a value wherever a value becomes text: Integer its decimal digits, Float
// FormatNumberTrimmed, String itself, Matrix its matrix text (only when executing), else "".
std::string ValueToText(const Value& v, bool executing);

// Double -> Integer as the original runtime's conversion yields it, without undefined behaviour:
// truncation toward zero; NaN and values outside the int32 range give -2147483648.
std::int32_t DoubleToInt32(double d);
