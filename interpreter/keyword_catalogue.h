// The keyword catalogue: every word of the base language with its token code, its help
// categories and its one-line help text; the fast first-match lookup the lexer uses; and the
// "Help" branch of the tree built from keyword records.
//
// The base catalogue has 162 rows whose ids equal their row index (0 .. 161). Texts are single-byte
// code page 1256 (the help text of "]" is Persian).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "view/view_services.h"

// Help-category bits of KeywordRecord::kind.
enum KeywordCategory : int {
    kCategoryFile = 0x1,
    kCategoryOperators = 0x2,
    kCategoryMath = 0x4,
    kCategoryKeywords = 0x8,
    kCategoryCommands = 0x10,
    kCategoryInterface = 0x20,
    kCategoryColors = 0x40,
    kCategoryTypes = 0x80,
    kCategoryDialogs = 0x100,
    kCategoryNeuralNetworks = 0x400,
};

struct KeywordRecord {
    std::string word;  // matched exactly and case-sensitively
    std::int32_t id = -1;
    std::int32_t kind = 0;  // KeywordCategory bits
    std::string help;

    KeywordRecord() = default;
    KeywordRecord(std::string w, std::int32_t i, std::int32_t k, std::string h)
        : word(std::move(w)), id(i), kind(k), help(std::move(h)) {}
};

constexpr int kBaseKeywordCount = 162;

// The 162 base rows in row order (row i has id i). Built once, read-only afterwards.
const std::vector<KeywordRecord>& BaseKeywordCatalogue();

// The id of the first base row whose word equals the text exactly, or -1 when none does:
// the same answer as a linear scan of the catalogue from row 0, at hash-table speed.
int FindKeyword(const char* word, std::size_t length);
inline int FindKeyword(std::string_view word) { return FindKeyword(word.data(), word.size()); }

// A first-match hash index over any list of keyword records (the extension indexes its own rows
// with it). It keeps its own copies of the words.
class KeywordIndex {
public:
    KeywordIndex() = default;
    explicit KeywordIndex(std::span<const KeywordRecord> rows) { Build(rows); }
    void Build(std::span<const KeywordRecord> rows);
    // The row index of the first row whose word equals the text, or -1.
    int FindRow(std::string_view word) const;

private:
    static std::uint32_t Hash(std::string_view word);

    std::vector<std::string> words_;    // by row
    std::vector<std::int32_t> slots_;   // open addressing; -1 empty, else a row index
    std::uint32_t mask_ = 0;
};

// The name of a category bit ("File", "Operators", ... "Neural Netwoks"); nullptr for other bits.
const char* KeywordCategoryName(int bit);

// ---- the "Help" branch ----

// The one service the help branch needs of a tree: insert a text under a parent (nullptr: the top
// level), after the parent's last child or, when sorted, at its alphabetical place among them.
class HelpTreeTarget {
public:
    virtual ~HelpTreeTarget() = default;
    virtual TreeItem Insert(const std::string& text, TreeItem parent, bool sorted) = 0;
};

// The "Help" item and the category items made under it, kept so that an extension can add its
// own category and list its words under the existing ones.
struct HelpTreeItems {
    TreeItem help = nullptr;
    std::array<TreeItem, 11> byBit{};  // index: bit position of the category bit (0x1 -> 0 ... 0x400 -> 10)

    TreeItem Category(int bit) const;
};

// Inserts "Help" at the top level and the nine base categories under it ("Types", "Operators",
// "Keywords", "Commands", "Math", "Interface", "File", "Colors", "Dialogs"), then lists the rows
// (words beginning "XX" left out). Returns the items; `help` is the branch's root.
HelpTreeItems BuildHelpTree(HelpTreeTarget& tree, std::span<const KeywordRecord> rows);

// Inserts one category item (named by KeywordCategoryName) under "Help", after its last child,
// and records it in items. nullptr, with nothing inserted, for a bit without a name.
TreeItem AddHelpCategory(HelpTreeTarget& tree, HelpTreeItems& items, int bit);

// For each row in order and each of its category bits, lowest first, whose category item exists:
// inserts the word sorted under that category and the help text as the word item's only child.
// skipXXWords: leave out words whose first two characters are "XX" (the base rows do).
void ListKeywordsInHelpTree(HelpTreeTarget& tree, const HelpTreeItems& items,
                            std::span<const KeywordRecord> rows, bool skipXXWords);
