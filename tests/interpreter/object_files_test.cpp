// Object files: the 12-byte header, the Matrix object file, SaveObject and LoadObject, and the
// reader's refusal of every file that is not a complete object of the variable's own type and size.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#define HEAP_PROBE_OPERATORS
#include "heap_probe.h"
#include "interpreter/builtin_test_support.h"
#include "base/matrix.h"
#include "interpreter/object_file_codec.h"
#include "base/object_file_header.h"
#include "interpreter/test_parser.h"
#include "platform/crt_file.h"

namespace {

void Append(std::vector<unsigned char>& bytes, const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    bytes.insert(bytes.end(), p, p + size);
}

std::vector<unsigned char> Int32s(std::initializer_list<std::int32_t> values) {
    std::vector<unsigned char> bytes;
    for (std::int32_t v : values) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(static_cast<std::uint32_t>(v) >> (8 * i)));
    }
    return bytes;
}

// The object file of a 2 x 3 matrix holding 1, 2, 3, 4, 5, 6.5 row by row, written out by hand.
std::vector<unsigned char> MatrixObjectBytes() {
    std::vector<unsigned char> bytes = {0x71, 0xF2, 0x5B, 0x2E, 0x38, 0x5E, 0xFB, 0x34, 5, 0, 0, 0,
                                        2,    0,    0,    0,    3,    0,    0,    0};
    for (double d : {1.0, 2.0, 3.0, 4.0, 5.0, 6.5}) Append(bytes, &d, sizeof d);
    return bytes;
}

class ObjectFileTest : public ::testing::Test {
protected:
    // A run-mode parser with one variable "v" of the given type (a Matrix of rows x cols).
    Value& Declare(int type, int rows = 0, int cols = 0) {
        parser.PrepareScan("", 1);
        parser.DeclareVariable("v", type, 1, rows, cols);
        return parser.variables[0];
    }
    ScratchFolder folder;
    RecordingView view;
    TestParser parser{&view};
};

TEST_F(ObjectFileTest, ReadObjectHeaderGivesTheTypeOrInvalid) {
    struct Case {
        std::vector<unsigned char> bytes;
        std::int32_t type;
    };
    const std::vector<Case> cases = {
        {Int32s({777777777, 888888888, 5}), 5},
        {Int32s({777777777, 888888888, -3}), -3},
        {Int32s({777777777, 888888887, 5}), ObjectFileHeader::kInvalidType},
        {Int32s({888888888, 777777777, 5}), ObjectFileHeader::kInvalidType},
        {{}, ObjectFileHeader::kInvalidType},
    };
    const std::string path = folder.File("h.bin");
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        WriteBytes(path, cases[i].bytes);
        auto file = crt::CrtFile::Open(path, "rb");
        EXPECT_EQ(ReadObjectHeader(*file), cases[i].type);
    }
}

TEST_F(ObjectFileTest, AFileCutAnywhereAssignsNothing) {
    const std::vector<unsigned char> whole = MatrixObjectBytes();
    const std::string path = folder.File("cut.obj");
    for (std::size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        WriteBytes(path, std::vector<unsigned char>(whole.begin(), whole.begin() + static_cast<long>(length)));
        Value& v = Declare(kTypeMatrix, 2, 3);
        FillRowByRow(*v.value.matrix, {7, 7, 7, 7, 7, 7});
        EXPECT_EQ(parser.LoadObject({0, 1}, path), 1);
        EXPECT_EQ(Elements(*parser.variables[0].value.matrix), (std::vector<double>{7, 7, 7, 7, 7, 7}));
    }
}

TEST_F(ObjectFileTest, ScalarAndStringObjectsRoundTrip) {
    const std::string path = folder.File("s.obj");
    Value i;
    i.SetInteger(-123456);
    Value f;
    f.SetFloat(0.1);
    Value s;
    s.SetString(std::string("a\0b\r\n", 5));
    for (const Value* original : {&i, &f, &s}) {
        {
            auto file = crt::CrtFile::Open(path, "wb");
            ASSERT_TRUE(WriteObjectValue(*file, *original));
            ASSERT_TRUE(file->Close());
        }
        Value target;
        if (original->type == kTypeString) target.SetString("old");
        if (original->type == kTypeInteger) target.SetInteger(5);
        if (original->type == kTypeFloat) target.SetFloat(5);
        auto file = crt::CrtFile::Open(path, "rb");
        ASSERT_TRUE(ReadObjectValue(*file, target));
        EXPECT_EQ(ValueToText(target, true), ValueToText(*original, true));
    }
}

TEST_F(ObjectFileTest, AStringLengthBeyondTheFileAssignsNothing) {
    const std::string path = folder.File("s.obj");
    for (std::int32_t length : {-1, 4, 1000000000, INT32_MAX}) {
        SCOPED_TRACE(length);
        std::vector<unsigned char> bytes = Int32s({777777777, 888888888, 3, length});
        Append(bytes, "abc", 3);
        WriteBytes(path, bytes);
        Value target;
        target.SetString("old");
        auto file = crt::CrtFile::Open(path, "rb");
        heap_probe::Arm(1 << 20);  // the length is checked against the file before anything is allocated
        EXPECT_FALSE(ReadObjectValue(*file, target));
        EXPECT_LE(heap_probe::Disarm(), std::size_t{1} << 20);
        EXPECT_EQ(target.Text(), "old");
    }
}

// --- the statements ---

TEST(ObjectStatementTest, SaveAndLoadInARun) {
    ScratchFolder folder;
    const std::string path = folder.File("m.obj");
    ScriptHarness h;
    EXPECT_EQ(h.Run("Matrix m[2][3]\nm[1][1] = 1\nm[1][2] = 2\nm[1][3] = 3\nm[2][1] = 4\nm[2][2] = 5\nm[2][3] = 6.5\n"
                    "SaveObject m In \"" + path + "\"\nMatrix r[2][3]\nLoadObject r From \"" + path +
                    "\"\nMatrix w[3][2]\nLoadObject w From \"" + path + "\"\nMatrix row[1][3]\nrow = r[2]\n"
                    "CreateChart('r', 3, row)\nMatrix col[3][1]\ncol = w[][1]\nCreateChart('w', 3, col)\n"),
              "");
    EXPECT_EQ(ReadBytes(path), MatrixObjectBytes());
    const auto charts = h.view.Charts();
    ASSERT_EQ(charts.size(), 2u);
    EXPECT_EQ(charts[0].values, (std::vector<double>{4, 5, 6.5}));
    EXPECT_EQ(charts[1].values, (std::vector<double>{0, 0, 0}));
}

}  // namespace
