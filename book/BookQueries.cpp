// The book schema's vocabulary and the queries that read company, dates and keywords.
#include "book/BookQueries.h"

#include "book/TextHelpers.h"

#include <algorithm>
#include <utility>

namespace kp {

const std::array<VatCode, 14> kVatCodes = {{
    {"-", "-", false},
    {"sales", "Myynti", true},
    {"credit", "Myynnin alv", true},
    {"purchase", "Osto", true},
    {"debit", "Ostojen alv", false},
    {"eugsales", "EU-myynti tavara", false},
    {"eussales", "EU-myynti palvelu", false},
    {"eugpurchase", "EU-osto tavara", false},
    {"euspurchase", "EU-osto palvelu", false},
    {"eugdebit", "EU-oston alv tavara", false},
    {"eusdebit", "EU-oston alv palvelu", false},
    {"bsales", "Myynti rakent.palvelu", false},
    {"bpurchase", "Osto rakent.palvelu", false},
    {"bdebit", "Ostojen alv rak.palvelu", false},
}};

int VatClassOfCode(std::string_view code) {
    for (int k = 1; k < kVatClassCount; ++k)
        if (EqualsIgnoringAsciiCase(code, kVatCodes[static_cast<size_t>(k)].code))
            return k;
    return 0;
}

BookNode* FindChildByPrefix(std::string_view key, const BookNode* node) {
    if (!node)
        return nullptr;
    for (BookNode* child : node->children())
        if (child->startsWith(key))
            return child;
    return nullptr;
}

void CollectByPrefix(BookNode* node, std::string_view key, std::vector<BookNode*>& list) {
    if (!node)
        return;
    std::vector<BookNode*> pending{node};
    while (!pending.empty()) {
        BookNode* n = pending.back();
        pending.pop_back();
        if (n->startsWith(key))
            list.push_back(n);
        const auto& children = n->children();
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
}

BookNode* FiscalYearNode(const BookTree& book) {
    return FindChildByPrefix(kKeywords[KwFiscalYear], book.first());
}

BookNode* AccountMapNode(const BookNode* fiscalYear) {
    return FindChildByPrefix(kKeywords[KwAccountMap], fiscalYear);
}

std::string QuotedName(std::string_view text, int cursor) {
    return std::string(QuotedNameView(text, cursor));
}

std::string_view QuotedNameView(std::string_view text, int cursor) {
    const size_t open = text.find('"', static_cast<size_t>(cursor > 1 ? cursor - 1 : 0));
    if (open == std::string_view::npos)
        return {};
    const size_t close = text.rfind('"');
    if (close > open)
        return text.substr(open + 1, close - open - 1);
    return text.substr(open + 1);
}

std::string CompanyName(const BookTree& book) {
    const BookNode* fiscalYear = FiscalYearNode(book);
    if (!fiscalYear)
        return {};
    int cursor = static_cast<int>(kKeywords[KwFiscalYear].size());
    return QuotedName(fiscalYear->text(), cursor);
}

namespace {
// The usual form after the keyword, " 2026 12 24": three runs of digits, each after one blank.
// Anything else is read field by field as the general rule says.
bool SplitPlainDate(std::string_view rest, std::string_view& year, std::string_view& month,
                    std::string_view& day) {
    std::string_view* const fields[] = {&year, &month, &day};
    size_t at = 0;
    for (std::string_view* field : fields) {
        if (at >= rest.size() || rest[at] != ' ')
            return false;
        const size_t start = ++at;
        while (at < rest.size() && rest[at] >= '0' && rest[at] <= '9')
            ++at;
        if (at == start)
            return false;
        *field = rest.substr(start, at - start);
    }
    return at == rest.size();
}

void AppendPadded(std::string& out, std::string_view text, size_t width) {
    if (text.size() < width)
        out.append(width - text.size(), '0');
    out.append(text);
}
} // namespace

std::string ReadDateChild(const BookNode& node, int& counter, PeriodState* periods) {
    const std::string_view keyword = kKeywords[KwDate];
    const int count = node.childCount();
    int i = counter < 0 ? 0 : counter;
    while (i < count && !node.child(i)->startsWith(keyword))
        ++i;
    if (i >= count) {
        counter = count;
        return "??.??.????";
    }
    const std::string_view text = node.child(i)->text();
    std::string_view year;
    std::string_view month;
    std::string_view day;
    if (!SplitPlainDate(text.substr(keyword.size()), year, month, day)) {
        int cursor = static_cast<int>(keyword.size());
        year = ExtractFieldView(text, ' ', ' ', cursor);
        month = ExtractFieldView(text, ' ', ' ', cursor);
        day = ExtractFieldView(text, ' ', ' ', cursor);
    }
    if (periods && periods->eventsContainerLevel >= 0 &&
        node.level() > periods->eventsContainerLevel) {
        const std::int32_t m = ConvertRun(month);
        if (m >= 1 && m <= 12) {
            const Period p = MakePeriod(ConvertRun(year), m);
            if (p > periods->latestEventPeriod)
                periods->latestEventPeriod = p;
        }
    }
    counter = i + 1;
    // "dd.mm.yyyy", each field padded with zeros to its width; made in one piece where it
    // fits (a date of the usual length stays within the string's own buffer).
    char chars[32];
    char* end = chars;
    const std::pair<std::string_view, size_t> fields[] = {{day, 2}, {month, 2}, {year, 4}};
    if (day.size() + month.size() + year.size() <= 20) {
        for (const auto& [field, width] : fields) {
            if (end != chars)
                *end++ = '.';
            for (size_t pad = field.size(); pad < width; ++pad)
                *end++ = '0';
            end = std::copy(field.begin(), field.end(), end);
        }
        return std::string(chars, end);
    }
    std::string date;
    for (const auto& [field, width] : fields) {
        if (!date.empty())
            date += '.';
        AppendPadded(date, field, width);
    }
    return date;
}

std::string NthDate(int n, const BookNode* node, PeriodState* periods) {
    if (!node)
        return "00.00.0000";
    int counter = 0;
    std::string result;
    int calls = n < 1 ? 1 : n;
    while (calls-- > 0)
        result = ReadDateChild(*node, counter, periods);
    return result;
}

std::string BookTitle(const BookTree& book) {
    const BookNode* fiscalYear = FiscalYearNode(book);
    return "Kirjanpito " + CompanyName(book) + " " + NthDate(1, fiscalYear) + " - " +
           NthDate(2, fiscalYear);
}

std::string DisplayDateToNode(std::string_view display) {
    int cursor = 1;
    const std::int32_t day = ScanNumber(display, cursor);
    const std::int32_t month = ScanNumber(display, cursor);
    const std::int32_t year = ScanNumber(display, cursor);
    return std::to_string(year) + " " + std::to_string(month) + " " + std::to_string(day);
}

bool IsCalendarDate(std::int64_t year, std::int64_t month, std::int64_t day) {
    if (year < 1 || month < 1 || month > 12 || day < 1)
        return false;
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

bool ValidateFiscalYear(std::string_view start, std::string_view end, PeriodState& periods) {
    int cursor = 1;
    const std::int64_t startDay = ScanNumber(start, cursor);
    const std::int64_t startMonth = ScanNumber(start, cursor);
    const std::int64_t startYear = ScanNumber(start, cursor);
    cursor = 1;
    const std::int64_t endDay = ScanNumber(end, cursor);
    const std::int64_t endMonth = ScanNumber(end, cursor);
    const std::int64_t endYear = ScanNumber(end, cursor);
    periods.fiscalEndPeriod = MakePeriod(endYear, endMonth);
    // A fiscal year of impossible days (31.02., month 13, year 0) would give reports periods
    // that do not exist; the start may still lie after the end within one year, as it always
    // could.
    const bool valid = IsCalendarDate(startYear, startMonth, startDay) &&
                       IsCalendarDate(endYear, endMonth, endDay) && endYear >= startYear &&
                       endYear - startYear < 10;
    if (!valid)
        return false;
    YearList& years = periods.yearList;
    years.items.clear();
    if (endYear != startYear) {
        years.items.push_back(std::to_string(startYear) + "-" + std::to_string(endYear));
        for (std::int64_t y = startYear; y <= endYear; ++y)
            years.items.push_back(std::to_string(y));
        years.itemIndex = 0;
        years.visible = true;
        years.monthListTop = 16;
    } else {
        years.itemIndex = -1;
        years.visible = false;
        years.monthListTop = 32;
    }
    return true;
}

} // namespace kp
