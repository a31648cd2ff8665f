// Built-in commands: statements that wait, show message boxes, set the variable table's grow step,
// seed the random generator, work on files, play sounds, open programs and documents, use the
// clipboard, read and write matrix text files and fill charts. Each command reads and checks its
// arguments in both passes and acts only while the run executes.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "interpreter/builtin_arguments.h"
#include "interpreter/keyword_codes.h"
#include "base/matrix.h"
#include "base/number_text.h"
#include "interpreter/tessel_parser.h"
#include "platform/atomic_file.h"
#include "platform/crt_file.h"
#include "platform/crt_runtime.h"
#include "platform/desktop.h"

namespace {

using namespace builtin;

constexpr long kOpenSettleMilliseconds = 1000;

int SeekOrigin(int keyword) {
    if (keyword == kw::kFileSeekSet) return SEEK_SET;
    return keyword == kw::kFileSeekCur ? SEEK_CUR : SEEK_END;
}

class BuiltinCommandRunner {
public:
    explicit BuiltinCommandRunner(CTesselParser& parser) : p_(parser) {}

    int Run(int keyword) {
        switch (keyword) {
            case kw::kSleep: return Sleep();
            case kw::kMsgBoxError: return MessageBox(desktop::kIconHand);
            case kw::kMsgBoxInfo: return MessageBox(desktop::kIconAsterisk);
            case kw::kBiggestArray: return BiggestArray();
            case kw::kChangeRandomSeed: return ChangeRandomSeed();
            case kw::kFileOpen: return FileOpen();
            case kw::kFileClose: return FileClose();
            case kw::kFileWriteString: return FileWriteString();
            case kw::kBeep: return Beep();
            case kw::kExecute: case kw::kPlay: return Open();
            case kw::kPlayWave: return PlayWave();
            case kw::kStopWave: return StopWave();
            case kw::kCopyToClipboard: return CopyToClipboard();
            case kw::kReadMatrix: case kw::kWriteMatrix: return MatrixFile(keyword == kw::kReadMatrix);
            case kw::kCreateChart: return CreateChart();
            case kw::kFileSeekSet: case kw::kFileSeekCur: case kw::kFileSeekEnd: return FileSeek(keyword);
            default: return BinaryWrite(keyword);
        }
    }

private:
    bool Executing() const { return p_.execute != 0; }

    int ReadText(std::string& text) {
        Value v;
        if (!p_.ReadExpression2(v)) return 0;
        text = ValueToText(v, Executing());
        return 1;
    }

    // The open file of the element, or the "File Not Open." error.
    crt::CrtFile* OpenFileOrFail(ElementRef record) {
        crt::CrtFile* file = FileOf(p_, record);
        if (file == nullptr) p_.FailWith(message::kFileNotOpen);
        return file;
    }

    int Sleep() {
        std::int32_t ms = 0;
        if (!ReadWholeNumber(p_, ms)) return 0;
        if (ms < 0) return p_.FailWith(message::kPositiveValues);
        if (Executing()) p_.WaitMilliseconds(ms);
        return 1;
    }

    int MessageBox(unsigned style) {
        Value v;
        if (!p_.ReadExpression2(v)) return 0;
        const bool hasText = v.IsNumber() || v.type == kTypeString;
        if (Executing() && hasText) {
            desktop::Current().MessageBox(p_.ownerWindow, ValueToText(v, true), p_.caption, style);
        }
        return 1;
    }

    // BiggestArray = number: the variable table's grow step, in both passes.
    int BiggestArray() {
        std::int32_t step = 0;
        if (!p_.Expect(kw::kEquals) || !ReadWholeNumber(p_, step)) return 0;
        p_.SetVariableStep(step);
        return 1;
    }

    int ChangeRandomSeed() {
        if (Executing()) crt::Srand(static_cast<std::uint32_t>(crt::TimeSeconds()));
        return 1;
    }

    // FileOpen expr For (Reading | Writing | Editting) (Text | Binary) In fileVar
    int FileOpen() {
        std::string name;
        if (!ReadText(name) || !p_.Expect(kw::kFor)) return 0;
        // The mode is built from pieces rather than assigned a literal: GCC 12 at -O3 reports a
        // false -Wrestrict on an inlined string assignment from a literal.
        std::string mode;
        switch (p_.ReadToken()) {
            case kw::kReading: mode.push_back('r'); break;
            case kw::kWriting: mode.push_back('w'); break;
            case kw::kEditting: mode.append({'r', '+'}); break;
            default: return p_.FailWith(message::kUnknownOpenMode);
        }
        switch (p_.ReadToken()) {
            case kw::kText: mode += 't'; break;
            case kw::kBinary: mode += 'b'; break;
            default: return p_.FailWith(message::kTextOrBinary);
        }
        ElementRef record;
        ScanMark afterName;
        if (!p_.Expect(kw::kIn) || !ReadFileVariable(p_, record, afterName)) return 0;
        if (!Executing()) return 1;
        // A file the variable still holds would otherwise stay open, unreachable, until the run ends.
        if (!CloseSharedFile(p_, FileOf(p_, record))) return p_.FailWith(message::kCannotWriteFile);
        p_.ElementValue(record).file = crt::CrtFile::Open(name, mode).release();
        return 1;
    }

    // ( fileVar ) of FileClose.
    int FileClose() {
        ElementRef record;
        ScanMark afterName;
        if (!p_.Expect(kw::kOpenParen) || !ReadFileVariable(p_, record, afterName) ||
            !p_.Expect(kw::kCloseParen)) {
            return 0;
        }
        if (!Executing()) return 1;
        crt::CrtFile* file = OpenFileOrFail(record);
        if (file == nullptr) return 0;
        return CloseSharedFile(p_, file) ? 1 : p_.FailWith(message::kCannotWriteFile);
    }

    // FileWriteString( expr , fileVar )
    int FileWriteString() {
        std::string text;
        ElementRef record;
        ScanMark afterName;
        if (!p_.Expect(kw::kOpenParen) || !ReadText(text) || !p_.Expect(kw::kComma) ||
            !ReadFileVariable(p_, record, afterName) || !p_.Expect(kw::kCloseParen)) {
            return 0;
        }
        if (!Executing()) return 1;
        crt::CrtFile* file = OpenFileOrFail(record);
        if (file == nullptr) return 0;
        return PutFileString(p_, *file, text);
    }

    // FileWrite1b( fileVar , expr ) and its siblings.
    int BinaryWrite(int keyword) {
        ElementRef record;
        ScanMark afterName;
        double value = 0.0;
        bool isInteger = false;
        if (!p_.Expect(kw::kOpenParen) || !ReadFileVariable(p_, record, afterName) || !p_.Expect(kw::kComma) ||
            !p_.ReadNumber(value, &isInteger) || !p_.Expect(kw::kCloseParen)) {
            return 0;
        }
        if (!Executing()) return 1;
        crt::CrtFile* file = OpenFileOrFail(record);
        if (file == nullptr) return 0;
        return PutFileBinary(p_, *file, keyword, value);
    }

    // FileSeekSet( fileVar , number ) and its siblings.
    int FileSeek(int keyword) {
        ElementRef record;
        ScanMark afterName;
        std::int32_t offset = 0;
        if (!p_.Expect(kw::kOpenParen) || !ReadFileVariable(p_, record, afterName) || !p_.Expect(kw::kComma) ||
            !ReadWholeNumber(p_, offset) || !p_.Expect(kw::kCloseParen)) {
            return 0;
        }
        if (!Executing()) return 1;
        crt::CrtFile* file = OpenFileOrFail(record);
        if (file == nullptr) return 0;
        file->Seek(offset, SeekOrigin(keyword));
        return 1;
    }

    int Beep() {
        double type = 0.0;
        bool isInteger = false;
        if (!p_.ReadNumber(type, &isInteger)) return 0;
        if (Executing()) desktop::Current().Beep(ToUnsigned32(type));
        return 1;
    }

    // Execute / Play expr: open the program or document, then give it a second to start. A desktop
    // that started nothing (the console records the request) has nothing to wait for.
    int Open() {
        std::string target;
        if (!ReadText(target)) return 0;
        if (!Executing()) return 1;
        if (desktop::Current().Open(Trimmed(target))) crt::SleepMilliseconds(kOpenSettleMilliseconds);
        return 1;
    }

    // PlayWave expr [ , ( LOOP | WAIT ) ]
    int PlayWave() {
        std::string name;
        if (!ReadText(name)) return 0;
        bool loop = false;
        bool wait = false;
        if (p_.ReadToken() == kw::kComma) {
            const int option = p_.ReadToken();
            if (option != kw::kLoop && option != kw::kWait) return p_.FailWith(message::kLoopOrWait);
            loop = option == kw::kLoop;
            wait = option == kw::kWait;
        } else {
            p_.StepBackUnlessEnd();
        }
        if (!Executing()) return 1;
        name = Trimmed(name);
        if (!CTesselParser::FileExists(name.c_str())) {
            const std::string text = "ERROR : Wave Not Found. \n\n \" " + name + " \"";
            desktop::Current().MessageBox(p_.ownerWindow, text, p_.caption, desktop::kIconHand);
            return 1;
        }
        p_.wavePlaying = 1;
        // A waiting sound is a wait like Sleep: a stop ends it.
        if (wait)
            desktop::Current().PlayWaveUntil(name, p_.view->stopRequested);
        else
            desktop::Current().PlayWave(name, loop, false);
        return 1;
    }

    int StopWave() {
        if (Executing()) desktop::Current().StopWave();
        return 1;
    }

    int CopyToClipboard() {
        std::string text;
        if (!ReadText(text)) return 0;
        if (Executing()) CopyTextToClipboard(text);
        return 1;
    }

    // ReadMatrix matrixVar From expr / WriteMatrix matrixVar In expr
    int MatrixFile(bool reading) {
        if (p_.ReadToken() != token::kVariable) return p_.FailWith(message::kUnknownVariable);
        const ElementRef element = p_.EvaluateArrayIndex();
        if (!element.Found()) return 0;
        if (p_.variables[element.record].type != kTypeMatrix) return p_.FailWith(message::kMatrixVariableExpected);
        std::string path;
        if (!p_.Expect(reading ? kw::kFrom : kw::kIn) || !ReadText(path)) return 0;
        if (!Executing()) return 1;
        CMatrix* matrix = p_.ElementValue(element).matrix;
        if (matrix == nullptr) return p_.FailWith(message::kMatrixVariableExpected);
        if (reading) {
            if (!CTesselParser::FileExists(path.c_str())) return p_.FailWith(message::kFileNotFound);
            LoadMatrixFromTextFile(*matrix, path);
            return 1;
        }
        crt::SaveResult outcome = crt::kSaved;
        return SaveMatrixToTextFile(*matrix, path, &outcome) ? 1 : p_.FailWith(SaveFailureText(outcome));
    }

    int CreateChart();
    int ReadChartMatrixValues(int count, std::vector<double>& values);
    int ReadChartArrayValues(int first, int count, std::vector<double>& values);
    int ReadChartLabels(int count, std::vector<std::string>& labels, bool& hasLabels);

    CTesselParser& p_;
};

// CreateChart( title , count , values [ , labels ] )
int BuiltinCommandRunner::CreateChart() {
    std::string title;
    if (!p_.Expect(kw::kOpenParen) || !ReadText(title) || !p_.Expect(kw::kComma)) return 0;
    Value countValue;
    if (!p_.ReadExpression2(countValue)) return 0;
    if (countValue.type != kTypeInteger) return p_.FailWith(message::kMustBeInteger);
    if (!p_.Expect(kw::kComma)) return 0;
    const int count = countValue.value.integer;
    // A chart needs at least one value; in the check pass the count may still be unknown.
    if (Executing() && count < 1) return p_.FailWith(message::kPositiveValues);

    std::vector<double> values;
    const int form = p_.ReadToken();
    if (form == kw::kOpenBracket) {
        p_.StepBackUnlessEnd();
        if (!ReadChartMatrixValues(count, values)) return 0;
    } else if (form == token::kVariable) {
        const int first = p_.variableIndex;
        const Value& record = p_.variables[first];
        if (record.type == kTypeMatrix) {
            p_.StepBackUnlessEnd();
            if (!ReadChartMatrixValues(count, values)) return 0;
        } else if (record.count > 1) {
            if (!ReadChartArrayValues(first, count, values)) return 0;
        } else {
            return p_.FailWith(message::kChartValuesForm);
        }
    } else {
        return p_.FailWith(message::kUnknownVariable);
    }

    std::vector<std::string> labels;
    bool hasLabels = false;
    if (!ReadChartLabels(count, labels, hasLabels) || !p_.Expect(kw::kCloseParen)) return 0;
    if (Executing()) p_.view->ShowChart(title, values, count, hasLabels ? &labels : nullptr);
    return 1;
}

// The matrix form: the right side of a matrix assignment into a 1 x count row, or a count x 1
// column when the matrix named has one column of count elements.
int BuiltinCommandRunner::ReadChartMatrixValues(int count, std::vector<double>& values) {
    if (count < 1) {
        // Only the check pass gets here: read the right side for its syntax, storing nothing.
        return p_.ParseBracketList();
    }
    int rows = 1;
    int cols = count;
    if (p_.currentToken == token::kVariable) {
        const Value& named = p_.variables[p_.variableIndex];
        if (named.type == kTypeMatrix && named.value.matrix != nullptr && named.value.matrix->GetRows() == count &&
            named.value.matrix->GetCols() == 1) {
            rows = count;
            cols = 1;
        }
    }
    CMatrix target(rows, cols, "");
    if (!p_.AssignMatrix(target, 0, rows, 0, cols, 0)) return 0;
    std::string error;
    if (!target.IsAllocated()) {
        // Too many values to hold: the matrix's own empty-matrix text says so.
        target.GetAt(0, 0, error);
        return p_.FailWith(error);
    }
    values.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        values[static_cast<std::size_t>(i)] = rows == 1 ? target.GetAt(0, i, error) : target.GetAt(i, 0, error);
    }
    return 1;
}

// The array form: the first count elements of an Integer or Float array, named without an index.
int BuiltinCommandRunner::ReadChartArrayValues(int first, int count, std::vector<double>& values) {
    if (!Executing()) return 1;
    const Value& array = p_.variables[first];
    if (array.count < count) return p_.FailWith(message::kTooFewElements);
    if (!array.IsNumber()) return p_.FailWith(message::kNumericalArrayExpected);
    values.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const Value::Payload& element = array.Element(i + 1);
        values[static_cast<std::size_t>(i)] = array.type == kTypeInteger ? element.integer : element.number;
    }
    return 1;
}

// [ , labels ]: an array of at least two Strings, named without an index.
int BuiltinCommandRunner::ReadChartLabels(int count, std::vector<std::string>& labels, bool& hasLabels) {
    if (p_.ReadToken() != kw::kComma) {
        p_.StepBackUnlessEnd();
        return 1;
    }
    if (p_.ReadToken() != token::kVariable) return p_.FailWith(message::kUnknownVariable);
    const int first = p_.variableIndex;
    if (p_.variables[first].count < 2) return p_.FailWith(message::kArrayOfStringsExpected);
    hasLabels = true;
    if (!Executing()) return 1;
    if (p_.variables[first].count < count) return p_.FailWith(message::kTooFewElements);
    const Value& array = p_.variables[first];
    if (array.type != kTypeString) return p_.FailWith(message::kArrayOfStringsExpected);
    labels.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) labels.push_back(Value::SlotText(array.Element(i + 1)));
    return 1;
}

}  // namespace

bool CTesselParser::IsCommandCode(int keyword) {
    switch (keyword) {
        case kw::kSleep: case kw::kMsgBoxError: case kw::kMsgBoxInfo: case kw::kBiggestArray:
        case kw::kChangeRandomSeed: case kw::kFileOpen: case kw::kFileClose: case kw::kFileWriteString:
        case kw::kBeep: case kw::kFileWrite1b: case kw::kFileWrite2b: case kw::kFileWrite4bi:
        case kw::kFileWrite4bf: case kw::kFileWrite8b: case kw::kFileWrite1bu: case kw::kFileWrite2bu:
        case kw::kFileWrite4bu: case kw::kFileSeekSet: case kw::kFileSeekCur: case kw::kFileSeekEnd:
        case kw::kExecute: case kw::kPlay: case kw::kPlayWave: case kw::kStopWave:
        case kw::kCopyToClipboard: case kw::kReadMatrix: case kw::kWriteMatrix: case kw::kCreateChart:
            return true;
        default:
            return false;
    }
}

int CTesselParser::ExecuteCommand(int code) {
    if (!IsCommandCode(code)) return 0;
    BuiltinCommandRunner runner(*this);
    return runner.Run(code);
}
