// The book check: one small book per kind of finding, the lines it gives, and the window's check
// of the open book.
#include "app/BookCheck.h"

#include "app/Application.h"
#include "book/NestedList.h"
#include "tests/app/ScriptedPlatform.h"
#include "tests/reports/ReportTestBooks.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

using test::Acc;
using test::Event;
using test::Head;
using Lines = std::vector<std::string>;

const std::string kChart = test::Chart(Head("Rahat", Acc(1910, "Pankki")),
                                       Acc(2000, "Oma p\xE4\xE4oma"), Acc(3000, "Myynti"));
const std::string kOpening = Event(0, "2024 1 1", "Tilinavaus", {{1910, 1000}, {2000, -1000}});
const std::string kSale = Event(1, "2024 3 5", "Myynti", {{1910, 500}, {3000, -500}});

// A book of the chart above whose vouchers follow the opening voucher.
std::string WithVouchers(const std::string& events) {
    return test::Book(kChart, kOpening + events);
}

struct CheckCase {
    const char* name;
    std::string book;
    Lines findings;
};

class CheckFinds : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckFinds, OneLineForEachThingToLookAt) {
    BookTree book;
    if (!GetParam().book.empty()) // an empty file loads as an empty tree
        ParseNestedList(book, GetParam().book);
    const std::string before = FormatNestedList(book);
    EXPECT_EQ(CheckBook(book), GetParam().findings);
    EXPECT_EQ(FormatNestedList(book), before); // the check changes nothing
}

const CheckCase kCases[] = {
    {"CleanBook", WithVouchers(kSale), {}},
    {"NewCompanyWithAnEmptyOpeningVoucher",
     test::Book(test::Chart("", "", ""), "(event 0 (date 2024 1 1) \"Tilinavaus\" ())"),
     {}},
    {"UnbalancedVoucher",
     WithVouchers(Event(1, "2024 3 5", "Myynti", {{1910, 500}, {3000, -488}})),
     {"Tosite 1 ei täsmää: summien ero 0,12"}},
    {"VoucherWithoutDate",
     WithVouchers("(event 1 () \"Myynti\" ((1910 (money 5)) (3000 (money -5))))"),
     {"Tosite 1: päiväys puuttuu"}},
    {"VoucherOutsideTheFiscalYear",
     WithVouchers(Event(1, "2025 1 1", "Myynti", {{1910, 5}, {3000, -5}})),
     {"Tosite 1: päiväys 01.01.2025 on tilikauden ulkopuolella"}},
    {"VoucherOnADayThatDoesNotExist",
     WithVouchers(Event(1, "2023 2 29", "Myynti", {{1910, 5}, {3000, -5}})),
     {"Tosite 1: päiväys 29.02.2023 ei ole kelvollinen päivämäärä"}},
    {"PostingToAnAccountNotInTheChart",
     WithVouchers(Event(1, "2024 3 5", "Myynti", {{191, 5}, {3000, -5}})),
     {"Tosite 1: tiliä 191 ei ole tilikartassa"}},
    {"AmountThatIsNotANumber",
     WithVouchers("(event 1 (date 2024 3 5) \"Myynti\" ((1910 (money abc)) (3000 (money 0))))"),
     {"Tosite 1: tilin 1910 rahamäärää \"money abc\" ei voi lukea (luetaan 0,00)"}},
    {"AmountMissingFromItsNode",
     WithVouchers("(event 1 (date 2024 3 5) \"Myynti\" ((1910 (money)) (3000 (money -0))))"),
     {"Tosite 1: tilin 1910 rahamäärää \"money\" ei voi lukea (luetaan 0,00)"}},
    {"EntryWithoutAnAmount",
     WithVouchers("(event 1 (date 2024 3 5) \"Myynti\" ((1910 (date 2024 1 1)) (3000 (money "
                  "0))))"),
     {"Tosite 1: tilin 1910 vienti ilman rahamäärää (luetaan 0,00)"}},
    {"DuplicateVoucherNumber",
     WithVouchers(kSale + Event(2, "2024 3 6", "Myynti", {{1910, 5}, {3000, -5}}) + kSale),
     {"Tositenumero 1 on käytössä 2 tositteella"}},
    {"VoucherNumberThatIsNotANumber",
     WithVouchers("(event x1 (date 2024 3 5) \"Myynti\" ())"),
     {"Tosite x1: tositenumero ei ole luku"}},
    {"VoucherWithoutItsLines",
     WithVouchers("(event 1 (date 2024 3 5) \"Myynti\")"),
     {"Tosite 1: tositteelta puuttuu vientien luettelo"}},
    {"DuplicateAccountNumber",
     test::Book(test::Chart(Acc(1910, "Pankki") + Acc(1910, "Kassa"), Acc(2000, "Oma"), ""),
                kOpening),
     {"Tilinumero 1910 on tilikartassa 2 kertaa (Pankki, Kassa)"}},
    {"FiscalYearOnImpossibleDays",
     test::Book(kChart, kOpening, "2024 1 1", "2024 13 45"),
     {"Virheellinen tilikausi: 01.01.2024 - 45.13.2024"}},
    {"FiscalYearEndingBeforeItStarts",
     test::Book(kChart, kOpening, "2024 12 1", "2024 1 31"),
     {"Tilikausi päättyy ennen kuin se alkaa: 01.12.2024 - 31.01.2024"}},
    {"NoFiscalYear", "(identity (account-map))", {"Kirjassa ei ole tilikautta (fiscal-year)"}},
    {"NoChartOfAccounts",
     "(identity (fiscal-year \"Oy\" (date 2024 1 1) (date 2024 12 31)))",
     {"Kirjassa ei ole tilikarttaa (account-map)"}},
    {"EmptyBook", "", {"Kirja on tyhjä: siinä ei ole tilikautta eikä tilikarttaa"}},
};

INSTANTIATE_TEST_SUITE_P(BookCheck, CheckFinds, testing::ValuesIn(kCases),
                         test::CaseName<CheckCase>);

TEST(BookCheck, ADamagedFilesMessageComesFirst) {
    BookTree book;
    ParseNestedList(book, WithVouchers(Event(1, "2024 3 5", "Myynti", {{1910, 5}})));
    FileResult load;
    load.damaged = true;
    load.message = "Kirjatiedosto on vaurioitunut: tiedosto loppuu kesken (kohta 13000).";
    EXPECT_EQ(CheckLoadedBook(load, book), (Lines{load.message, "Tosite 1 ei täsmää: summien ero "
                                                                "0,05"}));
    EXPECT_EQ(CheckLoadedBook(FileResult::success(), book).size(), 1u);
}

TEST(BookCheck, TheWindowChecksTheOpenBookAsItStands) {
    ScriptedPlatform platform;
    Application app(platform);
    ASSERT_TRUE(app.openBook(std::string(KP_SOURCE_DIR) + "/examples/esimerkki-2026.tlk"));
    EXPECT_EQ(CheckOpenBook(app), Lines{});
    // A change not yet saved is what the window checks.
    BookTree& book = app.state().openBook;
    BookNode* amount = app.index().events()->child(1)->child(2)->child(0)->child(0);
    book.setText(amount, "money 12x");
    const Lines findings = CheckOpenBook(app);
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_NE(findings[0].find("\"money 12x\" ei voi lukea (luetaan 0,12)"), std::string::npos);
    EXPECT_NE(findings[1].find("ei täsmää: summien ero"), std::string::npos);
}

} // namespace
} // namespace kp
