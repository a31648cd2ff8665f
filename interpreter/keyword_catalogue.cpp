#include "interpreter/keyword_catalogue.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

struct KeywordRow {
    const char* word;
    int kind;
    const char* help;
};

constexpr int F = kCategoryFile;
constexpr int O = kCategoryOperators;
constexpr int M = kCategoryMath;
constexpr int K = kCategoryKeywords;
constexpr int C = kCategoryCommands;
constexpr int I = kCategoryInterface;
constexpr int L = kCategoryColors;
constexpr int T = kCategoryTypes;
constexpr int D = kCategoryDialogs;

// Persian, code page 1256: "definition and use of array variables".
constexpr const char kArrayHelpCp1256[] =
    "\xCA\xDA\xD1\xED\xDD\x20\xE6\x20\xDF\xC7\xD1\xC8\xD1\xCF\x20\xE3"
    "\xCA\xDB\xED\xD1\xE5\xC7\xED\x20\xC2\xD1\xC7\xED\xE5\x20\xC7\xED";

// Row i has id i; the lexer, the error reporter and the string reader rely on it.
constexpr KeywordRow kBaseRows[kBaseKeywordCount] = {
    /* 0 */ {"=", O, "Assignment operator"},
    /* 1 */ {"\"", O, "Double quotation (for strings)"},
    /* 2 */ {"/*", O, "Start bulk commnet"},
    /* 3 */ {"*/", O, "End bulk commnent"},
    /* 4 */ {")", O, "Closing parenthesis"},
    /* 5 */ {"(", O, "Opening parenthesis"},
    /* 6 */ {":", O, "Column: Separating commands"},
    /* 7 */ {";", O, "Semi Column: Separating commands"},
    /* 8 */ {"True", K, "True value (equals 1)"},
    /* 9 */ {"False", K, "False value (equals 0)"},
    /* 10 */ {"//", O, "One line commnents"},
    /* 11 */ {",", O, "Separates arguments"},
    /* 12 */ {".", O, "Class members access operator"},
    /* 13 */ {"Sleep", C, "Waits the given number of milliseconds"},
    /* 14 */ {"Integer", T, "Integer types (-2147483648 , 2147483647)"},
    /* 15 */ {"Float", T, "Floating point type (double precision)"},
    /* 16 */ {"String", T, "Text type"},
    /* 17 */ {"Matrix", T, "Matrix of floating point numbers"},
    /* 18 */ {"[", O, "Define & Access arrays"},
    /* 19 */ {"]", O, kArrayHelpCp1256},
    /* 20 */ {"MsgBoxError", C | I, "Shows an error message box"},
    /* 21 */ {"MsgBoxInfo", C | I, "Shows an information message box"},
    /* 22 */ {"+", O, "Addition (joins strings too)"},
    /* 23 */ {"-", O, "Subtraction or negation"},
    /* 24 */ {"*", O, "Multiplication"},
    /* 25 */ {"/", O, "Division"},
    /* 26 */ {"For", K, "Starts a counted loop"},
    /* 27 */ {"To", K, "Final value of a For loop"},
    /* 28 */ {"Next", K, "Ends a For loop"},
    /* 29 */ {"Step", K, "Increment of a For loop"},
    /* 30 */ {"If", K, "Starts a condition"},
    /* 31 */ {"Then", K, "Follows the condition of an If"},
    /* 32 */ {"Else", K, "Starts the other branch of an If"},
    /* 33 */ {"Endif", K, "Ends an If"},
    /* 34 */ {"<", O, "Less than"},
    /* 35 */ {">", O, "Greater than"},
    /* 36 */ {"<=", O, "Less than or equal"},
    /* 37 */ {">=", O, "Greater than or equal"},
    /* 38 */ {"<>", O, "Not equal"},
    /* 39 */ {"And", O, "Logical and"},
    /* 40 */ {"Or", O, "Logical or"},
    /* 41 */ {"Mod", O | M, "Remainder"},
    /* 42 */ {"Exit", C, "Ends the program"},
    /* 43 */ {"StopProgram", C, "Stops the program"},
    /* 44 */ {"While", K, "Starts a conditional loop (or ends a Do loop)"},
    /* 45 */ {"Wend", K, "Ends a While loop"},
    /* 46 */ {"Do", K, "Starts a loop tested at its end by While"},
    /* 47 */ {"RGB", L, "Combinatio of Reg,Green,Blue"},
    /* 48 */ {"{", O, "Starts a block (optional)"},
    /* 49 */ {"}", O, "Ends a block (optional) "},
    /* 50 */ {"SinD", M, "Sine of an angle in degrees"},
    /* 51 */ {"CosD", M, "Cosine of an angle in degrees"},
    /* 52 */ {"TanD", M, "Tangent of an angle in degrees"},
    /* 53 */ {"SinR", M, "Sine of an angle in radians"},
    /* 54 */ {"CosR", M, "Cosine of an angle in radians"},
    /* 55 */ {"TanR", M, "Tangent of an angle in radians"},
    /* 56 */ {"Subroutin", K, "Sarts a subroutin"},
    /* 57 */ {"EndSub", K, "Ends a subroutine"},
    /* 58 */ {"Call", K, "Calls a subroutine"},
    /* 59 */ {"Sqrt", M, "Square root"},
    /* 60 */ {"Pow", M, "Power: Pow(base, exponent)"},
    /* 61 */ {"Abs", M, "Absolute value"},
    /* 62 */ {"ArcSinD", M, "Arc sine in degrees"},
    /* 63 */ {"ArcCosD", M, "Arc cosine in degrees"},
    /* 64 */ {"ArcTanD", M, "Arc tangent in degrees"},
    /* 65 */ {"ArcSinR", M, "Arc sine in radians"},
    /* 66 */ {"ArcCosR", M, "Arc cosine in radians"},
    /* 67 */ {"ArcTanR", M, "Arc tangent in radians"},
    /* 68 */ {"Sinh", M, "Hyperbolic sine"},
    /* 69 */ {"Cosh", M, "Hyperbolic cosine"},
    /* 70 */ {"Tanh", M, "Hyperbolic tangent"},
    /* 71 */ {"ExitSub", K, "Leaves the current subroutine"},
    /* 72 */ {"BiggestArray", K, "Biggest size of array the program needs. (Optimisez speed)"},
    /* 73 */ {"INT", O | M, "Integer part of a number"},
    /* 74 */ {"RND", O | M, "Random number (between 0 to n)"},
    /* 75 */ {"ChangeRandomSeed", M | C, "Starts a new series of random numbers"},
    /* 76 */ {"^", O, "Power"},
    /* 77 */ {"Ln", M, "Natural logarithm"},
    /* 78 */ {"Log", M, "Logarithm to base 10"},
    /* 79 */ {"Exp", M, "e raised to a power"},
    /* 80 */ {"PI", M, "The number pi"},
    /* 81 */ {"'", O, "Single qutation (for strings)"},
    /* 82 */ {"Clock", C, "Returns timer (miliseconds)"},
    /* 83 */ {"FileOpen", F, "Opens a file"},
    /* 84 */ {"FileClose", F, "Closes a file"},
    /* 85 */ {"Reading", F | K, "FileOpen mode: open for reading"},
    /* 86 */ {"Writing", F | K, "FileOpen mode: open for writing"},
    /* 87 */ {"Editting", F | K, "FileOpen mode: open for reading and writing"},
    /* 88 */ {"Text", F | K, "FileOpen mode: text file"},
    /* 89 */ {"Binary", F | K, "FileOpen mode: binary file"},
    /* 90 */ {"FileReadString", F, "Reads a string from a file"},
    /* 91 */ {"FileWriteString", F, "Writes a string to a file"},
    /* 92 */ {"File", F | T, "File type"},
    /* 93 */ {"In", K, "Operator"},
    /* 94 */ {"NOT", O, "Logical not"},
    /* 95 */ {"RED", L, "Color"},
    /* 96 */ {"BLUE", L, "Color"},
    /* 97 */ {"GREEN", L, "Color"},
    /* 98 */ {"BROWN", L, "Color"},
    /* 99 */ {"GREY", L, "Color"},
    /* 100 */ {"YELLOW", L, "Color"},
    /* 101 */ {"MAGENTA", L, "Color"},
    /* 102 */ {"CYAN", L, "Color"},
    /* 103 */ {"ORANGE", L, "Color"},
    /* 104 */ {"LIGHT_RED", L, "Color"},
    /* 105 */ {"LIGHT_BLUE", L, "Color"},
    /* 106 */ {"LIGHT_GREEN", L, "Color"},
    /* 107 */ {"LIGHT_BROWN", L, "Color"},
    /* 108 */ {"LIGHT_GREY", L, "Color"},
    /* 109 */ {"LIGHT_YELLOW", L, "Color"},
    /* 110 */ {"LIGHT_MAGENTA", L, "Color"},
    /* 111 */ {"LIGHT_CYAN", L, "Color"},
    /* 112 */ {"LIGHT_ORANGE", L, "Color"},
    /* 113 */ {"WHITE", L, "Color"},
    /* 114 */ {"BLACK", L, "Color"},
    /* 115 */ {"Beep", C, "Makes a system sound according to the number given"},
    /* 116 */ {"XX ShowDialog_RTL", I | D, "Shows a Right-to-left dialog"},
    /* 117 */ {"XX EndDialog", I | D, "End of defining a dialog"},
    /* 118 */ {"XX As", I | D, "Used in defining dialog's associated variables"},
    /* 119 */ {"XX ShowDialog_LTR", I | D, "Shows a Left-to-right dialog"},
    /* 120 */ {"Ask", I, "Asks user a question and returns Yes or No"},
    /* 121 */ {"Yes", K, "Answer of Ask: yes"},
    /* 122 */ {"No", K, "Answer of Ask: no"},
    /* 123 */ {"FileWrite1b", F, "Writes a 1-byte integer to a file"},
    /* 124 */ {"FileWrite2b", F, "Writes a 2-byte integer to a file"},
    /* 125 */ {"FileWrite4bi", F, "Writes a 4-byte integer to a file"},
    /* 126 */ {"FileWrite4bf", F, "Writes a 4-byte float to a file"},
    /* 127 */ {"FileWrite8b", F, "Writes an 8-byte float to a file"},
    /* 128 */ {"FileRead1b", F, "Reads a 1-byte integer from a file"},
    /* 129 */ {"FileRead2b", F, "Reads a 2-byte integer from a file"},
    /* 130 */ {"FileRead4bi", F, "Reads a 4-byte integer from a file"},
    /* 131 */ {"FileRead4bf", F, "Reads a 4-byte float from a file"},
    /* 132 */ {"FileRead8b", F, "Reads an 8-byte float from a file"},
    /* 133 */ {"FileWrite1bu", F, "Writes a 1-byte unsigned integer to a file"},
    /* 134 */ {"FileWrite2bu", F, "Writes a 2-byte unsigned integer to a file"},
    /* 135 */ {"FileWrite4bu", F, "Writes a 4-byte unsigned integer to a file"},
    /* 136 */ {"FileRead1bu", F, "Reads a 1-byte unsigned integer from a file"},
    /* 137 */ {"FileRead2bu", F, "Reads a 2-byte unsigned integer from a file"},
    /* 138 */ {"FileRead4bu", F, "Reads a 4-byte unsigned integer from a file"},
    /* 139 */ {"FileSize", F, "Size of a file in bytes"},
    /* 140 */ {"FileTell", F, "Current position in a file"},
    /* 141 */ {"FileSeekSet", F, "Moves to a position from the start of a file"},
    /* 142 */ {"FileSeekCur", F, "Moves by an offset from the current position"},
    /* 143 */ {"FileSeekEnd", F, "Moves to a position from the end of a file"},
    /* 144 */ {"SelectFile", C, "Lets the user choose a file"},
    /* 145 */ {"FileExists", F, "Tells whether a file exists"},
    /* 146 */ {"FileIsOpen", F, "Tells whether a file variable is open"},
    /* 147 */ {"FileEOF", F, "Tells whether the end of a file is reached"},
    /* 148 */ {"Execute", C, "Executes a program-files (equivalent to Play)"},
    /* 149 */ {"Play", C, "Executes a program-files (equivalent to Execute)"},
    /* 150 */ {"PlayWave", C, "Plays a wave file"},
    /* 151 */ {"StopWave", C, "Stops the playing wave file"},
    /* 152 */ {"LOOP", K, "PlayWave parameters: Loop the playing"},
    /* 153 */ {"WAIT", K, "PlayWave parameters: Waits until playing done"},
    /* 154 */ {"RANDOM_ELEMENTS", M, "Generates an array with random elements in a range."},
    /* 155 */ {"CopyToClipboard", C, "Copies a value to the Clipboard"},
    /* 156 */ {"ReadMatrix", C, "Reads a matrix from a text file"},
    /* 157 */ {"WriteMatrix", C, "Writes a matrix to a text file"},
    /* 158 */ {"From", K, "Used with ReadMatrix: the file to read"},
    /* 159 */ {"SaveObject", C, "Saves a variable to an object file"},
    /* 160 */ {"LoadObject", C, "Loads a variable from an object file"},
    /* 161 */ {"CreateChart", C, "Creates a chart window."},
};

// Category items under "Help", in the order they appear.
constexpr int kBaseCategoryOrder[] = {T, O, K, C, M, I, F, L, D};

int BitPosition(int bit) { return std::countr_zero(static_cast<unsigned>(bit)); }

bool IsSingleBit(int bit) { return bit > 0 && std::has_single_bit(static_cast<unsigned>(bit)); }

}  // namespace

const std::vector<KeywordRecord>& BaseKeywordCatalogue() {
    static const std::vector<KeywordRecord> catalogue = [] {
        std::vector<KeywordRecord> rows;
        rows.reserve(kBaseKeywordCount);
        for (int id = 0; id < kBaseKeywordCount; ++id) {
            rows.emplace_back(kBaseRows[id].word, id, kBaseRows[id].kind, kBaseRows[id].help);
        }
        return rows;
    }();
    return catalogue;
}

// ---- lookup ----

std::uint32_t KeywordIndex::Hash(std::string_view word) {
    std::uint32_t h = 2166136261u;  // FNV-1a
    for (unsigned char c : word) {
        h ^= c;
        h *= 16777619u;
    }
    return h;
}

void KeywordIndex::Build(std::span<const KeywordRecord> rows) {
    words_.clear();
    words_.reserve(rows.size());
    for (const KeywordRecord& row : rows) words_.push_back(row.word);
    // At most a quarter full, so probes stay short.
    const std::size_t size = std::bit_ceil(std::max<std::size_t>(16, rows.size() * 4));
    slots_.assign(size, -1);
    mask_ = static_cast<std::uint32_t>(size - 1);
    for (std::size_t row = 0; row < words_.size(); ++row) {
        // Only the first row of a word is entered: later duplicates can never be found first.
        if (FindRow(words_[row]) >= 0) continue;
        std::uint32_t at = Hash(words_[row]) & mask_;
        while (slots_[at] >= 0) at = (at + 1) & mask_;
        slots_[at] = static_cast<std::int32_t>(row);
    }
}

int KeywordIndex::FindRow(std::string_view word) const {
    if (slots_.empty()) return -1;
    for (std::uint32_t at = Hash(word) & mask_;; at = (at + 1) & mask_) {
        const std::int32_t row = slots_[at];
        if (row < 0) return -1;
        if (words_[static_cast<std::size_t>(row)] == word) return row;
    }
}

int FindKeyword(const char* word, std::size_t length) {
    static const KeywordIndex index(BaseKeywordCatalogue());
    const int row = index.FindRow(std::string_view(word, length));
    return row < 0 ? -1 : BaseKeywordCatalogue()[static_cast<std::size_t>(row)].id;
}

// ---- help tree ----

const char* KeywordCategoryName(int bit) {
    switch (bit) {
        case kCategoryFile: return "File";
        case kCategoryOperators: return "Operators";
        case kCategoryMath: return "Math";
        case kCategoryKeywords: return "Keywords";
        case kCategoryCommands: return "Commands";
        case kCategoryInterface: return "Interface";
        case kCategoryColors: return "Colors";
        case kCategoryTypes: return "Types";
        case kCategoryDialogs: return "Dialogs";
        case kCategoryNeuralNetworks: return "Neural Netwoks";
        default: return nullptr;
    }
}

TreeItem HelpTreeItems::Category(int bit) const {
    if (!IsSingleBit(bit)) return nullptr;
    const int position = BitPosition(bit);
    return position < static_cast<int>(byBit.size()) ? byBit[static_cast<std::size_t>(position)] : nullptr;
}

TreeItem AddHelpCategory(HelpTreeTarget& tree, HelpTreeItems& items, int bit) {
    const char* name = KeywordCategoryName(bit);
    if (name == nullptr) return nullptr;
    TreeItem item = tree.Insert(name, items.help, false);
    items.byBit[static_cast<std::size_t>(BitPosition(bit))] = item;
    return item;
}

void ListKeywordsInHelpTree(HelpTreeTarget& tree, const HelpTreeItems& items,
                            std::span<const KeywordRecord> rows, bool skipXXWords) {
    for (const KeywordRecord& row : rows) {
        if (skipXXWords && row.word.size() >= 2 && row.word[0] == 'X' && row.word[1] == 'X') continue;
        for (std::size_t position = 0; position < items.byBit.size(); ++position) {
            const int bit = 1 << position;
            TreeItem category = items.byBit[position];
            if ((row.kind & bit) == 0 || category == nullptr) continue;
            TreeItem wordItem = tree.Insert(row.word, category, true);
            tree.Insert(row.help, wordItem, false);
        }
    }
}

HelpTreeItems BuildHelpTree(HelpTreeTarget& tree, std::span<const KeywordRecord> rows) {
    HelpTreeItems items;
    items.help = tree.Insert("Help", nullptr, false);
    for (int bit : kBaseCategoryOrder) AddHelpCategory(tree, items, bit);
    ListKeywordsInHelpTree(tree, items, rows, true);
    return items;
}
