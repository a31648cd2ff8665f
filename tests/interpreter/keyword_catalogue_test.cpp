#include "interpreter/keyword_catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <span>
#include <vector>

namespace {

const std::vector<KeywordRecord>& Rows() { return BaseKeywordCatalogue(); }

TEST(KeywordCatalogueTest, HasOneHundredSixtyTwoRowsWhoseIdsAreTheirIndices) {
    ASSERT_EQ(Rows().size(), 162u);
    for (std::size_t i = 0; i < Rows().size(); ++i) EXPECT_EQ(Rows()[i].id, static_cast<int>(i));
    EXPECT_EQ(Rows()[161].word, "CreateChart");
    EXPECT_EQ(Rows()[0].word, "=");
    EXPECT_EQ(Rows()[1].word, "\"");
    EXPECT_EQ(Rows()[81].word, "'");
}

// ---- lookup ----

int LinearFind(std::span<const KeywordRecord> rows, const std::string& word) {
    for (const KeywordRecord& r : rows)
        if (r.word == word) return r.id;
    return -1;
}

TEST(KeywordLookupTest, FindsTheSameRowAsALinearScanForEveryWord) {
    for (const KeywordRecord& r : Rows()) {
        EXPECT_EQ(FindKeyword(r.word.data(), r.word.size()), LinearFind(Rows(), r.word)) << r.word;
        EXPECT_EQ(FindKeyword(r.word), r.id) << r.word;
    }
}

TEST(KeywordIndexTest, TheFirstOfDuplicateWordsWins) {
    const std::vector<KeywordRecord> rows = {
        {"Alpha", 171, 0x400, "a"}, {"Beta", 172, 0x400, "b"}, {"Alpha", 173, 0x400, "c"}, {"", 174, 0, "d"},
    };
    const KeywordIndex index(rows);
    EXPECT_EQ(index.FindRow("Alpha"), 0);
    EXPECT_EQ(index.FindRow("Beta"), 1);
    EXPECT_EQ(index.FindRow(""), 3);
    EXPECT_EQ(index.FindRow("alpha"), -1);
    EXPECT_EQ(KeywordIndex().FindRow("Alpha"), -1);
    EXPECT_EQ(KeywordIndex(std::span<const KeywordRecord>()).FindRow(""), -1);
}

}  // namespace
