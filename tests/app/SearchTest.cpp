// "Etsi" and "Etsi seuraava" over a tree and over report lines, driven through a scripted
// platform.
#include "app/Search.h"

#include "book/Win1252.h"
#include "tests/app/ScriptedPlatform.h"
#include "tests/book/TreeShape.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

using Messages = std::vector<std::string>;
const std::string kNotFound = " ei l\xC3\xB6ydy!";

class PresetRecordingPlatform : public ScriptedPlatform {
  public:
    Messages presets;
    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& preset) override {
        presets.push_back(preset);
        return ScriptedPlatform::inputBox(caption, prompt, preset);
    }
};

class SearchTest : public ::testing::Test {
  protected:
    SearchTest() {
        // Node texts are Windows-1252: "\xC4LV" is ÄLV.
        test::Build(m_tree, "Tilikartta kassa|.Vastaavaa|..1910 Kassa|..1920 Pankki|.Vastattavaa|"
                            "..KASSAVAJE|.Tulos|..3000 Myynti|..\xC4LV|toinen|.kassa toinen|");
        m_state.searchTarget = &m_tree;
    }
    SearchSelection at(std::string_view text) const {
        for (const BookNode* n = m_tree.first(); n; n = m_tree.next(n))
            if (n->text() == text)
                return {n, std::nullopt};
        return {};
    }
    static std::string_view textOf(const SearchResult& r) { return r.node ? r.node->text() : ""; }

    BookTree m_tree;
    AppState m_state;
    PresetRecordingPlatform m_platform;
    Search m_search{m_state, m_platform};
};

TEST_F(SearchTest, TreeSearchFromTheSelectionOnAroundTheStart) {
    const struct {
        const char* name;
        const char* selected;
        int startBranch;
        const char* text; // lower-cased, in the book's code page
        const char* found;
        int branchAfter;
        bool wrapped;
    } rows[] = {
        {"case folded, title root skipped", "", 0, "kassa", "1910 Kassa", 0, false},
        {"continues after the selection", "1910 Kassa", 0, "kassa", "KASSAVAJE", 1, false},
        {"after the last match from the start", "KASSAVAJE", 1, "kassa", "1910 Kassa", 0, true},
        {"the only match is the selection", "1920 Pankki", 0, "pankki", "1920 Pankki", 0, true},
        {"other roots are never searched", "", 0, "toinen", "", 0, false},
        {"a selection under a later root counts as none", "kassa toinen", 0, "myynti",
         "3000 Myynti", 2, false},
        {"the last search's branch is not kept", "", 2, "kassa", "1910 Kassa", 0, false},
        {"\xE4 does not find \xC4", "", 0, "\xE4lv", "", 0, false},
        {"\xC4 finds \xC4", "", 0, "\xC4lv", "\xC4LV", 2, false},
        {"an empty text finds nothing", "", 0, "", "", 0, false},
    };
    std::string status = "vanha";
    Search search(m_state, m_platform, &status);
    for (const auto& row : rows) {
        m_state.searchText = row.text;
        m_state.searchStartBranch = row.startBranch;
        m_state.searchActive = false;
        m_platform.shown.clear();
        const SearchResult r = search.findNext(at(row.selected));
        EXPECT_EQ(textOf(r), std::string_view(row.found)) << row.name;
        EXPECT_EQ(r.wrapped, row.wrapped) << row.name;
        EXPECT_EQ(status, row.wrapped ? kSearchWrapped : "") << row.name;
        if (*row.found) {
            EXPECT_EQ(m_state.searchStartBranch, row.branchAfter) << row.name;
        }
        EXPECT_TRUE(m_state.searchActive) << row.name;
        const Messages notFound = {Win1252ToUtf8(row.text) + kNotFound};
        EXPECT_EQ(m_platform.shown, *row.found ? Messages{} : notFound) << row.name;
    }
}

TEST_F(SearchTest, LineSearchFromTheSelectedLineOnAroundTheStart) {
    const ReportLines lines = {"P\xE4\xE4kirja", "\x1FTili\tTosite", "1910 Kassa", "kassa"};
    m_state.searchTarget = &lines;
    m_state.searchText = "kassa";
    EXPECT_EQ(m_search.findNext({}).line, std::optional<std::size_t>(2));
    EXPECT_EQ(m_search.findNext({nullptr, 2}).line, std::optional<std::size_t>(3));
    const SearchResult around = m_search.findNext({nullptr, 3});
    EXPECT_EQ(around.line, std::optional<std::size_t>(2));
    EXPECT_TRUE(around.wrapped);
    // A line selected on a longer page before is no selection here.
    EXPECT_EQ(m_search.findNext({nullptr, 40}).line, std::optional<std::size_t>(2));
    m_state.searchText = "\x1ftili\tt"; // markers and tabs are part of the text
    EXPECT_EQ(m_search.findNext({}).line, std::optional<std::size_t>(1));
    m_state.searchText = "pankki";
    EXPECT_FALSE(m_search.findNext({nullptr, 1}).found());
    EXPECT_EQ(m_platform.shown, Messages{"pankki" + kNotFound});
}

TEST_F(SearchTest, EtsiAsksOffersTheLastTextAndFocuses) {
    m_state.searchText = "p\xE4\xE4";
    m_state.searchStartBranch = 2;
    m_platform.inputs = {std::string("PANKKI"), std::string("\xC3\x84LV")};
    EXPECT_EQ(textOf(m_search.find({})), "1920 Pankki"); // from the first branch again
    const SearchResult r = m_search.find({});
    EXPECT_EQ(textOf(r), "\xC4LV");
    EXPECT_EQ(m_state.searchText, "\xC4lv");
    EXPECT_TRUE(r.focusTarget);
    EXPECT_EQ(m_platform.asked, (Messages{"Etsi", "Etsi"}));
    EXPECT_EQ(m_platform.presets, (Messages{"p\xC3\xA4\xC3\xA4", "pankki"}));
}

TEST_F(SearchTest, EtsiAnswersThatSearchNothing) {
    const struct {
        const char* name;
        std::optional<std::string> answer;
        std::string textAfter;
        Messages shown;
    } rows[] = {
        {"cancel keeps the text", std::nullopt, "kassa", {}},
        {"an empty answer empties the text", std::string(), "", {}},
        {"a character the book cannot hold",
         std::string("\xE2\x86\x92"),
         "kassa",
         {UnsupportedCharacterMessage("\xE2\x86\x92")}},
    };
    for (const auto& row : rows) {
        m_state.searchText = "kassa";
        m_platform.shown.clear();
        m_platform.inputs = {row.answer};
        const SearchResult r = m_search.find({});
        EXPECT_FALSE(r.found() || r.focusTarget || m_state.searchActive) << row.name;
        EXPECT_EQ(m_state.searchText, row.textAfter) << row.name;
        EXPECT_EQ(m_platform.shown, row.shown) << row.name;
    }
    m_state.searchTarget = std::monostate{};
    m_search.find({});
    EXPECT_EQ(m_platform.asked.size(), 3u); // no target: nothing asked
}

TEST_F(SearchTest, SearchNextBeforeAnySearchAndAfterTheLast) {
    EXPECT_FALSE(m_search.findNextIfActive({}).found()); // Ctrl+L: no search active
    EXPECT_TRUE(m_platform.shown.empty());
    EXPECT_FALSE(m_search.findNext({}).found()); // Ctrl+G with the empty text
    m_state.searchText = "kassa";
    const SearchResult last = m_search.findNextIfActive(at("1910 Kassa"));
    EXPECT_EQ(textOf(last), "KASSAVAJE");
    EXPECT_EQ(textOf(m_search.findNextIfActive({last.node, std::nullopt})), "1910 Kassa");
    EXPECT_EQ(m_platform.shown, Messages{kNotFound});
}

} // namespace
} // namespace kp
