// The interpreter's value and variable record: the type of every variable and of every expression
// result (with an empty name). Integer and Float live inline, so arithmetic on them never touches
// the heap. An array is one record: element 1 is its own value, elements 2 .. count sit in one
// block of 8-byte slots of the same type (`elements`), so a large array costs 8 bytes an element.
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
    // Elements 2 .. count of an array record (owned; null for a scalar and for every temporary).
    // A slot holds what `value` would: an Integer, a Float, a String (null: the empty text), a
    // File handle (not owned) or a Matrix (owned).
    Payload* elements = nullptr;

    Value() = default;
    ~Value();
    Value(const Value& other);
    Value& operator=(const Value& other);
    Value(Value&& other) noexcept;
    Value& operator=(Value&& other) noexcept;

    // Name, type, scope, index, count and a deep copy of the value (File shares the handle). An
    // array's further elements are not copied: they stay with the record that owns them.
    void CopyFrom(const Value& other);
    // The same for element `element` of the array record `other`.
    void CopyElementFrom(const Value& other, int element);
    // The slot of element 1 .. count (the record's own value for element 1).
    Payload& Element(int element) { return element == 1 ? value : elements[element - 2]; }
    const Payload& Element(int element) const { return element == 1 ? value : elements[element - 2]; }
    // Gives the record count - 1 further slots of its type, zero-filled (Integer 0, Float 0.0, an
    // empty String, no File), a Matrix each a new rows x cols matrix; false when memory ran out.
    bool MakeElements(int rows, int cols);
    // Frees the further elements (their strings and matrices); the record keeps its own value.
    void FreeElements();
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
    // The text a String slot holds ("" for none).
    static const std::string& SlotText(const Payload& slot);
    // Stores text in a String slot (the slot owns it).
    static void SetSlotText(Payload& slot, const std::string& text);

private:
    void FreeOwned();  // deletes the owned string or matrix
    // Name, scope, count and type; the value and further elements this held are freed.
    void CopyHeaderFrom(const Value& other);
};

// One element of a variable: its record in the variables table and its number 1 .. count.
struct ElementRef {
    int record = -1;  // -1: none (an error was reported)
    int element = 1;
    bool Found() const { return record >= 0; }
};

// The text of a value wherever a value becomes text: Integer its decimal digits, Float
// FormatNumberTrimmed, String itself, Matrix its matrix text (only when executing), else "".
std::string ValueToText(const Value& v, bool executing);

// The leading integer of a text as the C runtime's atoi reads it (white space, sign, digits),
// saturated at the Integer range instead of overflowing: a String given to an Integer.
std::int32_t LeadingInteger(const std::string& text);

// A String given to a slot of a variable of this type, as an assignment converts it: an Integer
// takes its leading integer, a Float its decimal number, a String the text; any other is unchanged.
void AssignTextToSlot(Value::Payload& slot, int type, const std::string& text);

// Double -> Integer as the original runtime's conversion yields it, without undefined behaviour:
// truncation toward zero; NaN and values outside the int32 range give -2147483648.
std::int32_t DoubleToInt32(double d);
