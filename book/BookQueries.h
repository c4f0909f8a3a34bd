// The book schema's vocabulary and the queries that read company, dates and keywords.
#pragma once

#include "book/BookTree.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kp {

// Keywords by which node kinds are recognised (prefix of the node text).
inline constexpr std::array<std::string_view, 10> kKeywords = {
    "account",     "money",     "fiscal-year", "date",  "vat-m",
    "account-map", "Vastaavaa", "Vastattavaa", "Tulos", "event"};
enum Keyword : int {
    KwAccount = 0,
    KwMoney = 1,
    KwFiscalYear = 2,
    KwDate = 3,
    KwVatM = 4,
    KwAccountMap = 5,
    KwAssets = 6,
    KwLiabilities = 7,
    KwResult = 8,
    KwEvent = 9
};

// VAT classes 0..13: the code stored in a VAT node and the default name shown for it.
struct VatCode {
    std::string_view code;
    std::string_view defaultName; // Windows-1252
    bool hasRate;
};
extern const std::array<VatCode, 14> kVatCodes;
inline constexpr int kVatClassCount = 14;

// The VAT classes by what they stand for; 0 is "-", no VAT.
enum VatClass : int {
    Sales = 1,
    SalesVat = 2,
    Purchase = 3,
    PurchaseVat = 4,
    EuGoodsSales = 5,
    EuServiceSales = 6,
    EuGoodsPurchase = 7,
    EuServicePurchase = 8,
    EuGoodsVat = 9,
    EuServiceVat = 10,
    BuildingSales = 11,
    BuildingPurchase = 12,
    BuildingVat = 13
};

// The class whose code equals a VAT node's code, ignoring case; 0 when none does.
int VatClassOfCode(std::string_view code);

// The header text written into every new book.
inline constexpr std::string_view kBookHeader =
    "identity \"Razeri\" version \"versio 0.22\" finances";

// A period is year * 65536 + month, so that later periods compare greater.
using Period = std::int64_t;
inline Period MakePeriod(std::int64_t year, std::int64_t month) {
    return year * 65536 + month;
}
inline int PeriodYear(Period p) {
    return static_cast<int>(p / 65536);
}
inline int PeriodMonth(Period p) {
    return static_cast<int>(p % 65536);
}

// The period chooser's year list, as the window shows it.
struct YearList {
    std::vector<std::string> items;
    bool visible = false;
    int itemIndex = -1;    // the item shown
    int monthListTop = 32; // 16 when the year list is shown above the month list
};

// Period values shared by the reports.
struct PeriodState {
    Period fiscalEndPeriod = 0;    // last day of the open book's fiscal year
    Period latestEventPeriod = 0;  // latest voucher month read since the open book was indexed
    int eventsContainerLevel = -1; // level of the open book's events container; -1: none known
    YearList yearList;
};

BookNode* FindChildByPrefix(std::string_view key, const BookNode* node);
void CollectByPrefix(BookNode* node, std::string_view key, std::vector<BookNode*>& list);

// Schema lookups on a book tree (the first root).
BookNode* FiscalYearNode(const BookTree& book);
BookNode* AccountMapNode(const BookNode* fiscalYear);

// The quoted name in a node text: from the first double quote at or after the cursor (1-based)
// to the last double quote of the text, so that a name holding quotes of its own reads whole
// ("Oy "Ykkönen" Ab"); to the end of the text when no closing quote follows.
std::string QuotedName(std::string_view text, int cursor = 1);
std::string_view QuotedNameView(std::string_view text, int cursor = 1);

std::string CompanyName(const BookTree& book);

// Display form of the next date child at or after the counter. With a period state, voucher
// dates below the open book's events container raise its latestEventPeriod.
std::string ReadDateChild(const BookNode& node, int& counter, PeriodState* periods = nullptr);
std::string NthDate(int n, const BookNode* node, PeriodState* periods = nullptr);

std::string BookTitle(const BookTree& book);
std::string DisplayDateToNode(std::string_view display);

// A day that the calendar has: year 1 or later, month 1..12, a day the month has (29 February
// only in leap years).
bool IsCalendarDate(std::int64_t year, std::int64_t month, std::int64_t day);

// True when both display dates are calendar days, both years lie less than ten years apart and
// the end year is not before the start year. Sets fiscalEndPeriod always, the year list only
// for a valid pair.
bool ValidateFiscalYear(std::string_view start, std::string_view end, PeriodState& periods);

} // namespace kp
