// Chart page commands: opening and applying the account editor, deleting, the context menu and
// drag and drop, each checked against the book and the chart view.
#include "ledger/AccountEditor.h"

#include "TestBooks.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

using namespace kp::test;
using Texts = std::vector<std::string>;

std::string BookText(const std::string& accounts, const std::string& events = "") {
    return FormatNestedList(ParseBook(accounts, events));
}

// The open book with its index and chart, and the editor of its chart page.
struct ChartPage {
    BookTree book;
    AccountIndex index{true};
    ChartView chart;
    VatTexts texts = DefaultVatTexts();
    AccountEditor editor;
    std::string events;

    explicit ChartPage(const std::string& accounts, const std::string& eventItems = "",
                       const VoucherFilter& filter = {})
        : book(ParseBook(accounts, eventItems)), events(eventItems) {
        index.rebuild(book, filter, nullptr, true);
        rebuildChart();
    }
    void rebuildChart() { chart.build(AccountMapNode(FiscalYearNode(book)), texts); }

    // The first chart line with the text.
    BookNode* line(std::string_view text) {
        for (BookNode* n = chart.tree().first(); n; n = chart.tree().next(n))
            if (n->text() == text)
                return n;
        ADD_FAILURE() << "no chart line " << text;
        return nullptr;
    }
    // The lines under the assets heading, indented by two blanks per level below it.
    Texts assetLines() const {
        const ReportLines lines = ChartMapLines(chart);
        Texts out;
        for (const std::string_view l : lines)
            if (l.substr(0, 4) == "    ")
                out.emplace_back(l.substr(4));
        return out;
    }
    std::string bookText() const { return FormatNestedList(book); }
    // The book as it would be with these asset items.
    std::string bookWithAssets(const std::string& items) const {
        return BookText(TopHeadings(items), events);
    }
    ChartEditResult ok() { return editor.ok(book, chart, index, texts); }
};

// --- opening ---------------------------------------------------------------------------

struct OpenCase {
    const char* name;
    std::string assets;
    const char* line;
    const char* editedLine;
    const char* number;
    const char* accountName;
    int vatClass;
    const char* rate;
    bool rateEnabled;
};
class OpeningTheEditor : public testing::TestWithParam<OpenCase> {};

TEST_P(OpeningTheEditor, FillsTheFieldsFromTheLine) {
    const OpenCase& c = GetParam();
    ChartPage page(TopHeadings(c.assets));
    page.editor.openOnLine(page.line(c.line), page.texts);
    const AccountEditor& e = page.editor;
    EXPECT_TRUE(e.visible());
    EXPECT_FALSE(e.newSubAccountMode());
    EXPECT_EQ(e.caption(), "Muokataan tili\xE4");
    ASSERT_NE(e.editedLine(), nullptr);
    EXPECT_EQ(e.editedLine()->text(), c.editedLine);
    EXPECT_EQ(e.numberText(), c.number);
    EXPECT_EQ(e.nameText(), c.accountName);
    EXPECT_EQ(e.vatClass(), c.vatClass);
    EXPECT_EQ(e.rateText(), c.rate);
    EXPECT_EQ(e.rateEnabled(), c.rateEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpeningTheEditor,
    testing::Values(
        OpenCase{"NameWithBlanks", Account(1910, "Kassa ja pankki"), "1910 Kassa ja pankki",
                 "1910 Kassa ja pankki", "1910", "Kassa ja pankki", 0, "", false},
        OpenCase{"SalesWithRate", Account(3000, "M", "vat sales 2400"), "3000 M", "3000 M", "3000",
                 "M", 1, "24,00", true},
        OpenCase{"VatLineStandsForItsAccount", Account(3000, "M", "vat sales 2400"), "Myynti 24,00",
                 "3000 M", "3000", "M", 1, "24,00", true},
        OpenCase{"RateClassWithoutRate", Account(2939, "A", "vat credit"), "2939 A", "2939 A",
                 "2939", "A", 2, "", true},
        OpenCase{"ClassAboveThreeHasNoRate", Account(3010, "R", "vat bsales 2400"), "3010 R",
                 "3010 R", "3010", "R", 11, "", false},
        OpenCase{"FirstSubLineIsNoVatLine", Account(1900, "R", "", "(account 0 \"Osto\" ())"),
                 "1900 R", "1900 R", "1900", "R", 0, "", false},
        OpenCase{"HeadingKeepsItsWholeName", "(account 0 \"Lainat yli 5 v\" ())", "Lainat yli 5 v",
                 "Lainat yli 5 v", "", "Lainat yli 5 v", 0, "", false},
        OpenCase{"Root", "", "TILIKARTTA", "TILIKARTTA", "", "TILIKARTTA", 0, "", false}),
    CaseName<OpenCase>);

TEST(AccountEditor, UserVatTextsLabelTheClassAndTheRate) {
    ChartPage page(TopHeadings(Account(3000, "M", "vat sales 1400")));
    page.texts[1] = "Kotimaan myynti";
    page.rebuildChart();
    page.editor.openOnLine(page.line("Kotimaan myynti 14,00"), page.texts);
    EXPECT_EQ(page.editor.vatClass(), 1);
    EXPECT_EQ(page.editor.rateText(), "14,00");
}

TEST(AccountEditor, WithoutASelectionNothingOpens) {
    AccountEditor editor;
    editor.openOnLine(nullptr, DefaultVatTexts());
    editor.openNewSubAccount(nullptr);
    EXPECT_FALSE(editor.visible());
    EXPECT_EQ(editor.editedLine(), nullptr);
}

TEST(AccountEditor, ASecondRequestWhileShownClosesTheBoxButSetsTheFields) {
    ChartPage page(TopHeadings(Account(1910, "Kassa") + Account(1920, "Pankki")));
    page.editor.openOnLine(page.line("1910 Kassa"), page.texts);
    page.editor.openOnLine(page.line("1920 Pankki"), page.texts);
    EXPECT_FALSE(page.editor.visible());
    EXPECT_EQ(page.editor.numberText(), "1920");
    page.editor.openOnLine(page.line("1910 Kassa"), page.texts);
    EXPECT_TRUE(page.editor.visible());
}

TEST(AccountEditor, RateFieldIsOpenForTheRateClassesOnlyAndHoldsFiveCharacters) {
    AccountEditor editor;
    editor.setRateText("24");
    EXPECT_EQ(editor.rateText(), "");
    editor.setVatClass(3);
    EXPECT_TRUE(editor.rateEnabled());
    editor.setRateText("123,456");
    EXPECT_EQ(editor.rateText(), "123,4");
    editor.setVatClass(2);
    EXPECT_EQ(editor.rateText(), "123,4");
    editor.setVatClass(4);
    EXPECT_FALSE(editor.rateEnabled());
    EXPECT_EQ(editor.rateText(), "");
    editor.setVatClass(14);
    EXPECT_EQ(editor.vatClass(), 0);
}

// --- OK on an existing line ------------------------------------------------------------

struct OkCase {
    const char* name;
    std::string assets;
    const char* line;
    const char* number;
    const char* accountName;
    int vatClass;
    const char* rate;
    std::string expectedAssets;
    Texts expectedLines;
};
class ApplyingTheEditor : public testing::TestWithParam<OkCase> {};

TEST_P(ApplyingTheEditor, RewritesTheNodeAndTheLine) {
    const OkCase& c = GetParam();
    ChartPage page(TopHeadings(c.assets));
    page.editor.openOnLine(page.line(c.line), page.texts);
    page.editor.setNumberText(c.number);
    page.editor.setNameText(c.accountName);
    page.editor.setVatClass(c.vatClass);
    page.editor.setRateText(c.rate);
    const ChartEditResult r = page.ok();
    EXPECT_TRUE(r.bookChanged);
    EXPECT_EQ(r.message, "");
    EXPECT_FALSE(page.editor.visible());
    EXPECT_EQ(page.bookText(), page.bookWithAssets(c.expectedAssets));
    EXPECT_EQ(page.assetLines(), c.expectedLines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplyingTheEditor,
    testing::Values(
        OkCase{"PurchaseWithZeroRate", Account(4000, "O"), "4000 O", "4000", "O", 3, "0",
               Account(4000, "O", "vat purchase 0"), Texts{"4000 O", "  Osto 0,00"}},
        OkCase{"RateWithOneDecimal", Account(3000, "M", "vat sales 2400"), "3000 M", "3000", "M", 1,
               "25,5", Account(3000, "M", "vat sales 2550"), Texts{"3000 M", "  Myynti 25,50"}},
        OkCase{"DashRemovesTheVatNodeAndLine", Account(3000, "M", "vat sales 2400"), "3000 M",
               "3000", "M", 0, "", Account(3000, "M"), Texts{"3000 M"}},
        OkCase{"ClassWithoutRateWritesTheCodeOnly", Account(1763, "A"), "1763 A", "1763", "A", 4,
               "", Account(1763, "A", "vat debit"), Texts{"1763 A", "  Ostojen alv"}},
        OkCase{"RenumberedAccountKeepsItsSubAccounts",
               Account(1900, "Rahat", "vat debit", Account(1910, "Kassa")), "1900 Rahat", "1901",
               "Raha", 4, "", Account(1901, "Raha", "vat debit", Account(1910, "Kassa")),
               Texts{"1901 Raha", "  Ostojen alv", "  1910 Kassa"}},
        OkCase{"EmptyNumberMakesAHeading", Account(1910, "Kassa"), "1910 Kassa", "", "Kassa", 0, "",
               Account(0, "Kassa"), Texts{"Kassa"}},
        OkCase{"QuoteInTheNameIsStoredAsTyped", Account(1910, "Kassa"), "1910 Kassa", "1910",
               "Oy \"A\" Ab", 0, "", Account(1910, "Oy \"A\" Ab"), Texts{"1910 Oy \"A\" Ab"}},
        OkCase{"HeadingGetsNoVatNode", "(account 0 \"Rahat\" (" + Account(1910, "K") + "))",
               "Rahat", "", "Rahat", 3, "24", "(account 0 \"Rahat\" (" + Account(1910, "K") + "))",
               Texts{"Rahat", "  1910 K"}},
        // A heading given a number keeps a second group node it gathered, with its account;
        // the VAT node goes second, where the chart and the VAT report read it.
        OkCase{"HeadingBecomingAnAccountKeepsAllItsGroups",
               "(account 0 \"H\" (" + Account(1910, "K") + ") (" + Account(1920, "P") + "))", "H",
               "1900", "H", 1, "24",
               "(account 1900 \"H\" (" + Account(1910, "K") + ") (vat sales 2400) (" +
                   Account(1920, "P") + "))",
               Texts{"1900 H", "  Myynti 24,00", "  1910 K", "  1920 P"}}),
    CaseName<OkCase>);

TEST(AccountEditor, SavedTopHeadingTurnsMinusOneIntoZeroAndKeepsItsChildren) {
    ChartPage page(TopHeadings(Account(1910, "Kassa")));
    page.editor.openOnLine(page.line("V A S T A A V A A"), page.texts);
    EXPECT_EQ(page.editor.numberText(), "");
    ASSERT_TRUE(page.ok().bookChanged);
    const BookNode* heading = AccountMapNode(FiscalYearNode(page.book))->child(0);
    EXPECT_EQ(heading->text(), "account 0 \"V A S T A A V A A\"");
    EXPECT_EQ(heading->childCount(), 1);
    EXPECT_EQ(heading->child(0)->child(0)->text(), "account 1910 \"Kassa\"");
    EXPECT_EQ(page.assetLines(), (Texts{"1910 Kassa"}));
}

TEST(AccountEditor, RootLineIsNeverRewritten) {
    ChartPage page(TopHeadings());
    const std::string before = page.bookText();
    page.editor.openOnLine(page.line("TILIKARTTA"), page.texts);
    page.editor.setNameText("Uusi");
    const ChartEditResult r = page.ok();
    EXPECT_FALSE(r.bookChanged);
    EXPECT_FALSE(page.editor.visible());
    EXPECT_EQ(page.bookText(), before);
    EXPECT_EQ(page.chart.root()->text(), "TILIKARTTA");
}

// --- the duplicate-number check --------------------------------------------------------

struct NumberCase {
    const char* name;
    bool newSubAccount;
    const char* line;
    const char* number;
    const char* message; // empty when OK is taken
    ChartField field = ChartField::None;
    int vatClass = 0;
    const char* rate = "";
};
class NumberCheck : public testing::TestWithParam<NumberCase> {};

TEST_P(NumberCheck, RefusesANumberAnotherAccountHas) {
    const NumberCase& c = GetParam();
    ChartPage page(
        TopHeadings("(account 0 \"Rahat\" (" + Account(1910, "Kassa") + Account(1920, "P") + "))"));
    const std::string before = page.bookText();
    const Texts linesBefore = page.assetLines();
    if (c.newSubAccount)
        page.editor.openNewSubAccount(page.line(c.line));
    else
        page.editor.openOnLine(page.line(c.line), page.texts);
    page.editor.setNumberText(c.number);
    page.editor.setNameText("Uusi nimi");
    page.editor.setVatClass(c.vatClass);
    page.editor.setRateText(c.rate);
    const ChartEditResult r = page.ok();
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.field, c.field);
    EXPECT_EQ(r.bookChanged, r.message.empty());
    EXPECT_EQ(page.editor.visible(), !r.message.empty());
    if (!r.message.empty()) {
        EXPECT_EQ(page.bookText(), before);
        EXPECT_EQ(page.assetLines(), linesBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberCheck,
    testing::Values(
        NumberCase{"NewAccountWithATakenNumber", true, "Rahat", "1910",
                   "Tilinumero 1910 on jo k\xC3\xA4yt\xC3\xB6ss\xC3\xA4", ChartField::Number},
        NumberCase{"TakenNumberWithLeadingZeroAndBlanks", true, "Rahat", " 01920 ",
                   "Tilinumero 1920 on jo k\xC3\xA4yt\xC3\xB6ss\xC3\xA4", ChartField::Number},
        NumberCase{"OtherAccountsNumber", false, "1920 P", "1910",
                   "Tilinumero 1910 on jo k\xC3\xA4yt\xC3\xB6ss\xC3\xA4", ChartField::Number},
        NumberCase{"LetterInTheNumber", true, "Rahat", "19A0", kNumberNotDigits.data(),
                   ChartField::Number},
        NumberCase{"MinusInTheNumber", false, "1920 P", "-5", kNumberNotDigits.data(),
                   ChartField::Number},
        NumberCase{"TenDigits", true, "Rahat", "1234567890", kNumberNotDigits.data(),
                   ChartField::Number},
        NumberCase{"SalesWithoutRate", true, "Rahat", "3000", kRateNeeded.data(), ChartField::Rate,
                   1, " "},
        NumberCase{"PurchaseWithMalformedRate", true, "Rahat", "4000", kRateNeeded.data(),
                   ChartField::Rate, 3, "2x"},
        NumberCase{"RateWithThreeDecimals", true, "Rahat", "4000", kRateNeeded.data(),
                   ChartField::Rate, 3, "2,555"},
        NumberCase{"RateWithTwoDecimals", true, "Rahat", "4000", "", ChartField::None, 3, "25,50"},
        NumberCase{"HeadingNeedsNoRate", true, "Rahat", "", "", ChartField::None, 1, ""},
        NumberCase{"OwnUnchangedNumber", false, "1910 Kassa", "1910", ""},
        NumberCase{"PrefixOfATakenNumber", true, "Rahat", "191", ""},
        NumberCase{"HeadingsAreNotChecked", true, "Rahat", "0", ""}),
    CaseName<NumberCase>);

// --- "Uusi alatili" --------------------------------------------------------------------

struct NewCase {
    const char* name;
    std::string accounts;
    const char* line;
    const char* number;
    int vatClass;
    const char* rate;
    std::string expectedAccounts;
};
class NewSubAccount : public testing::TestWithParam<NewCase> {};

TEST_P(NewSubAccount, IsAppendedToTheGroupNode) {
    const NewCase& c = GetParam();
    ChartPage page(c.accounts);
    BookNode* parentLine = page.line(c.line);
    page.editor.openNewSubAccount(parentLine);
    EXPECT_EQ(page.editor.caption(), std::string("Uusi alatili otsikolle ") + c.line);
    EXPECT_TRUE(page.editor.newSubAccountMode());
    EXPECT_EQ(page.editor.vatClass(), 0);
    page.editor.setNumberText(c.number);
    page.editor.setNameText("Uusi");
    page.editor.setVatClass(c.vatClass);
    page.editor.setRateText(c.rate);
    ASSERT_TRUE(page.ok().bookChanged);
    EXPECT_EQ(page.bookText(), BookText(c.expectedAccounts));
    // The new line is the parent line's last, and the editor now stands on it.
    const BookNode* added = parentLine->child(parentLine->childCount() - 1);
    EXPECT_EQ(page.editor.editedLine(), added);
    EXPECT_EQ(added->text(),
              std::string(c.number).empty() ? "Uusi" : std::string(c.number) + " Uusi");
    ASSERT_NE(added->reference(), nullptr);
    EXPECT_EQ(added->reference()->text(),
              "account " + std::string(*c.number ? c.number : "0") + " \"Uusi\"");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NewSubAccount,
    testing::Values(
        NewCase{"TopHeadingWithoutChildren", TopHeadings(), "V A S T A A V A A", "1910", 0, "",
                TopHeadings(Account(1910, "Uusi"))},
        NewCase{"ExistingGroupNode", TopHeadings(Account(1900, "R")), "V A S T A A V A A", "1910",
                1, "24", TopHeadings(Account(1900, "R") + Account(1910, "Uusi", "vat sales 2400"))},
        NewCase{"HeadingWhoseFirstChildIsAnAccount",
                TopHeadings("(account 0 \"H\" " + Account(1910, "K") + ")"), "H", "1920", 0, "",
                TopHeadings("(account 0 \"H\" " + Account(1910, "K") + " (" +
                            Account(1920, "Uusi") + "))")},
        NewCase{"HeadingUnderTheRoot", TopHeadings(), "TILIKARTTA", "", 0, "",
                TopHeadings() + "(" + Account(0, "Uusi") + ")"}),
    CaseName<NewCase>);

// --- the book or the chart changing while the box is open -------------------------------

TEST(AccountEditor, OkAfterAChartRebuildEditsTheSameAccount) {
    ChartPage page(TopHeadings(Account(1910, "Kassa") + Account(1920, "Pankki")));
    page.editor.openOnLine(page.line("1920 Pankki"), page.texts);
    page.rebuildChart();
    page.editor.setNameText("Pankkitili");
    ASSERT_TRUE(page.ok().bookChanged);
    EXPECT_EQ(page.assetLines(), (Texts{"1910 Kassa", "1920 Pankkitili"}));
    EXPECT_EQ(page.bookText(),
              page.bookWithAssets(Account(1910, "Kassa") + Account(1920, "Pankkitili")));
}

TEST(AccountEditor, OkAfterTheAccountLeftTheBookChangesNothing) {
    ChartPage page(TopHeadings(Account(1910, "Kassa") + Account(1920, "Pankki")));
    page.editor.openOnLine(page.line("1920 Pankki"), page.texts);
    ASSERT_TRUE(DeleteChartLine(page.book, page.chart, page.index, page.line("1920 Pankki"), {})
                    .bookChanged);
    const std::string before = page.bookText();
    page.editor.setNameText("Pankkitili");
    EXPECT_FALSE(page.ok().bookChanged);
    EXPECT_FALSE(page.editor.visible());
    EXPECT_EQ(page.bookText(), before);
}

// --- deleting --------------------------------------------------------------------------

struct DeleteCase {
    const char* name;
    std::string assets;
    std::string events;
    const char* line;
    bool refused;
    std::string remainingAssets; // when deleted
    const char* question = "";   // asked before deleting
};
class Deleting : public testing::TestWithParam<DeleteCase> {};

TEST_P(Deleting, RefusesWhileAnAccountBelowHasPostings) {
    const DeleteCase& c = GetParam();
    // The filter lets no voucher through: the index's entry lists are all empty.
    ChartPage page(TopHeadings(c.assets), c.events, VoucherFilter{true, "Projekti"});
    for (const AccountEntry& e : page.index.accounts())
        ASSERT_TRUE(page.index.entries(e.node).empty());
    const std::string before = page.bookText();
    std::vector<std::string> asked;
    const auto no = [&](const std::string& q) { return asked.push_back(q), false; };
    const auto yes = [&](const std::string& q) { return asked.push_back(q), true; };
    EXPECT_FALSE(
        DeleteChartLine(page.book, page.chart, page.index, page.line(c.line), no).bookChanged);
    EXPECT_EQ(page.bookText(), before);
    const ChartEditResult r =
        DeleteChartLine(page.book, page.chart, page.index, page.line(c.line), yes);
    EXPECT_EQ(asked, c.refused ? Texts{} : (Texts{c.question, c.question}));
    if (c.refused) {
        EXPECT_EQ(r.message,
                  "Tili\xC3\xA4 ei voi poistaa,\r\nkoska sill\xC3\xA4 on vientej\xC3\xA4");
        EXPECT_FALSE(r.bookChanged);
        EXPECT_EQ(page.bookText(), before);
    } else {
        EXPECT_EQ(r.message, "");
        EXPECT_TRUE(r.bookChanged);
        EXPECT_EQ(page.bookText(), page.bookWithAssets(c.remainingAssets));
        const Texts shown = page.assetLines();
        page.rebuildChart();
        EXPECT_EQ(shown, page.assetLines());
    }
}

const std::string kKassaPosting = Voucher(1, "2020 1 5", "Otto", Line("1910", 500));

INSTANTIATE_TEST_SUITE_P(
    Cases, Deleting,
    testing::Values(
        DeleteCase{"PostingOutsideTheFilter", Account(1910, "Kassa"), kKassaPosting, "1910 Kassa",
                   true, ""},
        DeleteCase{"OpeningBalance", Account(1910, "Kassa"),
                   Voucher(0, "2020 1 1", "Avaus", Line("1910", 500)), "1910 Kassa", true, ""},
        DeleteCase{"HeadingWithAnAccountWithPostings",
                   "(account 0 \"Rahat\" (" + Account(1920, "P") + Account(1910, "Kassa") + "))",
                   kKassaPosting, "Rahat", true, ""},
        DeleteCase{"SubAccountOfAnAccountHasPostings",
                   Account(1900, "R", "", Account(1910, "Kassa")), kKassaPosting, "1900 R", true,
                   ""},
        DeleteCase{"NumberThatTheLedgerLeadsToTheAccount", Account(1910, "Kassa"),
                   Voucher(1, "2020 1 5", "Otto", Line("191", 500)), "1910 Kassa", true, ""},
        DeleteCase{"OtherAccountsPostings", Account(1910, "Kassa") + Account(1920, "P"),
                   Voucher(1, "2020 1 5", "Otto", Line("1920", 500)), "1910 Kassa", false,
                   Account(1920, "P"), "Poistetaanko tili 1910 Kassa?"},
        DeleteCase{"HeadingWithoutPostings",
                   "(account 0 \"Rahat\" (" + Account(1910, "Kassa", "vat debit") + "))" +
                       Account(1920, "P"),
                   Voucher(1, "2020 1 5", "Otto", Line("1920", 500)), "Rahat", false,
                   Account(1920, "P"), "Poistetaanko otsikko Rahat tileineen?"},
        DeleteCase{"AccountWithSubAccounts",
                   Account(1900, "R", "", Account(1910, "Kassa")) + Account(1920, "P"), "",
                   "1900 R", false, Account(1920, "P"), "Poistetaanko tili 1900 R alatileineen?"}),
    CaseName<DeleteCase>);

TEST(DeleteChartLine, RootAndVatLinesAreNotDeleted) {
    ChartPage page(TopHeadings(Account(3000, "M", "vat sales 2400")));
    const std::string before = page.bookText();
    for (const char* text : {"TILIKARTTA", "Myynti 24,00"}) {
        const ChartEditResult r =
            DeleteChartLine(page.book, page.chart, page.index, page.line(text), {});
        EXPECT_FALSE(r.bookChanged) << text;
        EXPECT_EQ(r.message, "") << text;
    }
    EXPECT_FALSE(DeleteChartLine(page.book, page.chart, page.index, nullptr, {}).bookChanged);
    EXPECT_EQ(page.bookText(), before);
    EXPECT_EQ(page.chart.tree().count(), 6u);
}

// --- the context menu ------------------------------------------------------------------

struct MenuCase {
    const char* name;
    const char* line; // none: no selection
    bool dialogVisible;
    bool opens;
    bool newSubAccountEnabled;
};
class ContextMenu : public testing::TestWithParam<MenuCase> {};

TEST_P(ContextMenu, OpensOnTheRootHeadingsAndLinesUnderHeadings) {
    const MenuCase& c = GetParam();
    ChartPage page(TopHeadings("(account 0 \"Rahat\" (" +
                               Account(1900, "R", "vat debit", Account(1910, "K")) + "))"));
    const BookNode* selected = c.line ? page.line(c.line) : nullptr;
    const ChartMenuState menu = ChartContextMenu(selected, c.dialogVisible);
    EXPECT_EQ(menu.opens, c.opens);
    EXPECT_EQ(menu.newSubAccountEnabled, c.newSubAccountEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ContextMenu,
    testing::Values(MenuCase{"Root", "TILIKARTTA", false, true, true},
                    MenuCase{"TopHeading", "V A S T A A V A A", false, true, true},
                    MenuCase{"SubHeading", "Rahat", false, true, true},
                    MenuCase{"AccountUnderAHeading", "1900 R", false, true, false},
                    MenuCase{"VatLine", "Ostojen alv", false, false, false},
                    MenuCase{"SubAccount", "1910 K", false, false, false},
                    MenuCase{"DialogShown", "Rahat", true, false, false},
                    MenuCase{"NoSelection", nullptr, false, false, false}),
    CaseName<MenuCase>);

// --- drag and drop ---------------------------------------------------------------------

struct DropCase {
    const char* name;
    const char* moved;
    const char* target;
    DropSpot zone;
    bool moves;
    std::string expectedAssets; // when moved
};
class Dropping : public testing::TestWithParam<DropCase> {};

const std::string kDropAssets = Account(1900, "R", "vat debit", Account(1910, "K")) +
                                Account(1920, "P") + "(account 1930 \"N\")";

TEST_P(Dropping, MovesLineAndNodeAlike) {
    const DropCase& c = GetParam();
    ChartPage page(TopHeadings(kDropAssets));
    const std::string before = page.bookText();
    const Texts linesBefore = page.assetLines();
    const bool moved =
        MoveChartLine(page.book, page.chart, page.line(c.moved), page.line(c.target), c.zone);
    EXPECT_EQ(moved, c.moves);
    if (!moved) {
        EXPECT_EQ(page.bookText(), before);
        EXPECT_EQ(page.assetLines(), linesBefore);
        return;
    }
    EXPECT_EQ(page.bookText(), page.bookWithAssets(c.expectedAssets));
    // The view moved in place shows what a rebuild from the book shows.
    const Texts shown = page.assetLines();
    page.rebuildChart();
    EXPECT_EQ(shown, page.assetLines());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Dropping,
    testing::Values(
        DropCase{"OnTheLabelOfAnAccountWithAGroupNode", "1920 P", "1900 R", DropSpot::Label, true,
                 Account(1900, "R", "vat debit", Account(1910, "K") + Account(1920, "P")) +
                     "(account 1930 \"N\")"},
        DropCase{"OnTheButtonBeforeASubAccount", "1930 N", "1910 K", DropSpot::ExpandButtonOrIndent,
                 true,
                 Account(1900, "R", "vat debit", "(account 1930 \"N\")" + Account(1910, "K")) +
                     Account(1920, "P")},
        DropCase{"OnTheLabelOfAnAccountWithoutChildren", "1920 P", "1930 N", DropSpot::Label, false,
                 ""},
        DropCase{"IntoItsOwnSubtree", "1900 R", "1910 K", DropSpot::Label, false, ""},
        DropCase{"OnAVatLine", "1920 P", "Ostojen alv", DropSpot::Label, false, ""},
        DropCase{"BesideTheRoot", "1920 P", "TILIKARTTA", DropSpot::ExpandButtonOrIndent, false,
                 ""},
        DropCase{"OnTheRootLabel", "1920 P", "TILIKARTTA", DropSpot::Label, false, ""},
        DropCase{"ElsewhereOnTheLine", "1920 P", "1900 R", DropSpot::Elsewhere, false, ""}),
    CaseName<DropCase>);

TEST(Dropping, MovesBeforeATopHeadingAndBackIntoAGroup) {
    ChartPage page(TopHeadings("(account 0 \"H\" ())"));
    const std::string before = page.bookText();
    ASSERT_TRUE(MoveChartLine(page.book, page.chart, page.line("H"), page.line("V A S T A A V A A"),
                              DropSpot::ExpandButtonOrIndent));
    EXPECT_EQ(ChartMapLines(page.chart), (ReportLines{"TILIKARTTA", "  H", "  V A S T A A V A A",
                                                      "  V A S T A T T A V A A", "  T U L O S"}));
    EXPECT_EQ(AccountMapNode(FiscalYearNode(page.book))->child(0)->text(), "account 0 \"H\"");
    // A top heading of a new book has no group node to take it.
    EXPECT_FALSE(MoveChartLine(page.book, page.chart, page.line("H"),
                               page.line("V A S T A T T A V A A"), DropSpot::Label));
    ASSERT_TRUE(MoveChartLine(page.book, page.chart, page.line("H"), page.line("V A S T A A V A A"),
                              DropSpot::Label));
    EXPECT_EQ(page.bookText(), before);
}

TEST(Dropping, IsAcceptedOverLinesThatShowANode) {
    ChartPage page(TopHeadings(Account(1763, "A", "vat debit")));
    EXPECT_TRUE(ChartDropAccepted(page.line("1763 A")));
    EXPECT_TRUE(ChartDropAccepted(page.line("TILIKARTTA")));
    EXPECT_FALSE(ChartDropAccepted(page.line("Ostojen alv")));
    EXPECT_FALSE(ChartDropAccepted(nullptr));
}

} // namespace
} // namespace kp
