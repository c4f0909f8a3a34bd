// Gross amounts on VAT accounts taken apart into net and tax lines.
#include "ledger/VatSplit.h"

#include "TestBooks.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

using test::Account;
using test::ParseBook;
using test::TopHeadings;

struct SplitCase {
    const char* name;
    int account;
    Cents amount;
    std::string lines; // "number:cents" of each line, or the message
};

class VatSplitTest : public testing::TestWithParam<SplitCase> {};

TEST_P(VatSplitTest, LinesAddUpToWhatWasTyped) {
    BookTree book =
        ParseBook(TopHeadings(Account(1763, "Ostojen alv", "vat debit"),
                              Account(2931, "Alv 25,5", "vat credit 2550") +
                                  Account(2932, "Alv 24", "vat credit 2400") +
                                  Account(2933, "Alv 14", "vat credit 1400") +
                                  Account(2934, "Alv 13,5", "vat credit 1350") +
                                  Account(2935, "Alv 10", "vat credit 1000") +
                                  Account(2940, "EU-tavarahankintojen alv", "vat eugdebit") +
                                  Account(3000, "Myynti 25,5", "vat sales 2550") +
                                  Account(3010, "Myynti 24", "vat sales 2400") +
                                  Account(3020, "Myynti 14", "vat sales 1400") +
                                  Account(3030, "Myynti 13,5", "vat sales 1350") +
                                  Account(3040, "Myynti 10", "vat sales 1000") +
                                  Account(3050, "Myynti 12", "vat sales 1200") +
                                  Account(3060, "Myynti 0", "vat sales 0") +
                                  Account(3070, "Myynti ??", "vat sales 2147483647") +
                                  Account(2939, "Alv ??", "vat credit 2147483647") +
                                  Account(3300, "EU-myynti", "vat eussales") +
                                  Account(4000, "Ostot", "vat purchase 2550") +
                                  Account(4150, "EU-ostot", "vat eugpurchase") +
                                  Account(4160, "EU-palvelut", "vat euspurchase")),
                  "");
    AccountIndex index(true);
    PeriodState periods;
    index.rebuild(book, {}, &periods, true);
    const SplitCase& c = GetParam();
    const VatSplit split = SplitVatLine(index, index.findAccount(std::to_string(c.account)),
                                        c.amount, ReverseChargeRate(index));
    std::string lines = split.message;
    Cents sum = 0;
    for (const SplitLine& line : split.lines) {
        lines += (lines.empty() ? "" : " ") + line.account.substr(0, 4) + ":" +
                 std::to_string(line.cents);
        sum += line.cents;
        EXPECT_TRUE(FitsLineCents(line.cents));
    }
    EXPECT_EQ(lines, c.lines);
    // The reverse charge's pair cancels out, so every split adds up to the amount typed.
    if (!split.lines.empty()) {
        EXPECT_EQ(sum, c.amount);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rates, VatSplitTest,
    testing::Values(
        SplitCase{"Exact25_5", 3000, -12550, "3000:-10000 2931:-2550"},
        SplitCase{"Exact24", 3010, -12400, "3010:-10000 2932:-2400"},
        SplitCase{"Exact14", 3020, 11400, "3020:10000 2933:1400"},
        SplitCase{"Exact13_5", 3030, -11350, "3030:-10000 2934:-1350"},
        SplitCase{"Exact10", 3040, -11000, "3040:-10000 2935:-1000"},
        SplitCase{"RoundsUp25_5", 3000, 10000, "3000:7968 2931:2032"},
        SplitCase{"RoundsDown24", 3010, 10000, "3010:8065 2932:1935"},
        SplitCase{"RoundsDown14", 3020, 10000, "3020:8772 2933:1228"},
        SplitCase{"RoundsDown13_5", 3030, 10000, "3030:8811 2934:1189"},
        SplitCase{"RoundsDown10", 3040, 10000, "3040:9091 2935:909"},
        SplitCase{"CreditNoteRoundsAwayFromZero", 3000, -3, "3000:-2 2931:-1"},
        SplitCase{"OneCentHasNoTax", 3000, 1, "3000:1"},
        SplitCase{"OneCentCreditHasNoTax", 3010, -1, "3010:-1"},
        SplitCase{"LargestLine", 3000, 2147483647, "3000:1711142348 2931:436341299"},
        SplitCase{"SmallestLine", 3010, -2147483648LL, "3010:-1731841652 2932:-415641996"},
        SplitCase{"BeyondOneLineStaysForOkToRefuse", 3000, 2147483648LL, ""},
        SplitCase{"PurchaseGoesToPurchaseVat", 4000, 6275, "4000:5000 1763:1275"},
        SplitCase{"PurchaseCreditNote", 4000, -6275, "4000:-5000 1763:-1275"},
        SplitCase{"NoAccountForTheRate", 3050, -11200, "Ei alv-tili\xE4 kannalle 12 %"},
        SplitCase{"RateZeroDoesNotSplit", 3060, -10000, ""},
        SplitCase{"RateBeyondAHundredPercentDoesNotSplit", 3070, -2147483648LL, ""},
        SplitCase{"ClassWithoutTaxDoesNotSplit", 3300, -10000, ""},
        SplitCase{"ReverseChargeAtTheGeneralRate", 4150, 100, "4150:100 2940:-26 1763:26"},
        SplitCase{"ReverseChargeCreditNote", 4150, -100, "4150:-100 2940:26 1763:-26"},
        SplitCase{"ReverseChargeWithoutItsTaxAccount", 4160, 10000,
                  "Ei alv-tili\xE4 kannalle 25,5 %"}),
    test::CaseName<SplitCase>);

} // namespace
} // namespace kp
