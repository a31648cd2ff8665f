// The object files of the interpreter's own values: ObjectFileHeader, then
//   Integer (1): int32; Float (2): double; String (3): int32 length and the bytes;
//   Matrix (5): int32 rows, int32 columns, the doubles row by row.
// All little-endian. The reader assigns only a complete object of the target's own type (and, for a
// matrix, of its present size): anything else leaves the target exactly as it was.
#pragma once

struct Value;
namespace crt { class CrtFile; }

// True for the value types that have an object file.
bool HasObjectFileForm(int valueType);

// Writes the header and body of the element's value; false when any write failed.
bool WriteObjectValue(crt::CrtFile& stream, const Value& element);

// Reads one object from the stream's start into target. True when it assigned; false when the
// file is short, lacks the magic numbers, holds another type or another matrix size (target unchanged).
bool ReadObjectValue(crt::CrtFile& stream, Value& target);
