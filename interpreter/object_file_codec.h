// The object files of the interpreter's own values: ObjectFileHeader, then
//   Integer (1): int32; Float (2): double; String (3): int32 length and the bytes;
//   Matrix (5): int32 rows, int32 columns, the doubles row by row.
// All little-endian. The reader assigns only a complete object of the target's own type (and, for a
// matrix, of its present size): anything else leaves the target exactly as it was.
#pragma once

#include "interpreter/value.h"

namespace crt { class CrtFile; }

// True for the value types that have an object file.
bool HasObjectFileForm(int valueType);

// Writes the header and body of an element of the type; false when any write failed.
bool WriteObjectValue(crt::CrtFile& stream, int type, const Value::Payload& element);
inline bool WriteObjectValue(crt::CrtFile& stream, const Value& v) { return WriteObjectValue(stream, v.type, v.value); }

// Reads one object from the stream's start into target. True when it assigned; false when the
// file is short, lacks the magic numbers, holds another type or another matrix size (target unchanged).
bool ReadObjectValue(crt::CrtFile& stream, int type, Value::Payload& target);
inline bool ReadObjectValue(crt::CrtFile& stream, Value& target) { return ReadObjectValue(stream, target.type, target.value); }
