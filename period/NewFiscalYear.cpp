// The basic-data box: a new company, the next fiscal year from the closing balance sheet, and a
// change of company name and fiscal-year dates.
#include "period/NewFiscalYear.h"

#include "ledger/AccountIndex.h"
#include "reports/Statements.h"

#include <cstdio>
#include <optional>
#include <utility>

namespace kp {
namespace {

// A day as one comparable number, year * 10000 + month * 100 + day.
std::int64_t DayKey(std::int64_t year, std::int64_t month, std::int64_t day) {
    return year * 10000 + month * 100 + day;
}

// The vouchers of the book whose date lies outside first..last (display dates "dd.mm.yyyy");
// a voucher without a readable date is not counted.
int VouchersOutside(const BookTree& book, std::string_view first, std::string_view last) {
    auto displayKey = [](std::string_view text) {
        int cursor = 1;
        const std::int64_t day = ScanNumber(text, cursor);
        const std::int64_t month = ScanNumber(text, cursor);
        return DayKey(ScanNumber(text, cursor), month, day);
    };
    const std::int64_t from = displayKey(first);
    const std::int64_t to = displayKey(last);
    const BookNode* map = AccountMapNode(FiscalYearNode(book));
    const BookNode* events = map ? map->parent()->child(map->index() + 1) : nullptr;
    if (!events)
        return 0;
    int outside = 0;
    for (const BookNode* event : events->children()) {
        if (!event->startsWith(kKeywords[KwEvent]))
            continue;
        const BookNode* date = FindChildByPrefix(kKeywords[KwDate], event);
        if (!date)
            continue;
        int cursor = static_cast<int>(kKeywords[KwDate].size());
        const std::int64_t year = ScanNumber(date->text(), cursor);
        const std::int64_t month = ScanNumber(date->text(), cursor);
        const std::int64_t key = DayKey(year, month, ScanNumber(date->text(), cursor));
        if (year > 0 && (key < from || key > to))
            ++outside;
    }
    return outside;
}

struct Day {
    int year = 0, month = 0, day = 0;
};

Day NextDay(Day d) {
    if (IsCalendarDate(d.year, d.month, d.day + 1))
        return {d.year, d.month, d.day + 1};
    return d.month == 12 ? Day{d.year + 1, 1, 1} : Day{d.year, d.month + 1, 1};
}

Day PreviousDay(Day d) {
    if (d.day > 1)
        return {d.year, d.month, d.day - 1};
    Day last = d.month == 1 ? Day{d.year - 1, 12, 31} : Day{d.year, d.month - 1, 31};
    while (!IsCalendarDate(last.year, last.month, last.day))
        --last.day;
    return last;
}

std::string DisplayDay(Day d) {
    char text[40];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", d.day, d.month, d.year);
    return text;
}

// The fiscal year after one that ends on the given day (display form): from the next day, one
// year long. None when the day is not a real one.
std::optional<std::pair<std::string, std::string>> FollowingYear(std::string_view lastDay) {
    int cursor = 1;
    Day end;
    end.day = ScanNumber(lastDay, cursor);
    end.month = ScanNumber(lastDay, cursor);
    end.year = ScanNumber(lastDay, cursor);
    if (!IsCalendarDate(end.year, end.month, end.day) || end.year >= 9999)
        return std::nullopt;
    const Day first = NextDay(end);
    // A year from 29 February starts again on 1 March.
    Day again{first.year + 1, first.month, first.day};
    if (!IsCalendarDate(again.year, again.month, again.day))
        again = {again.year, 3, 1};
    return std::pair{DisplayDay(first), DisplayDay(PreviousDay(again))};
}

constexpr std::string_view kTopHeadings[] = {"account -1 \"V A S T A A V A A\"",
                                             "account -1 \"V A S T A T T A V A A\"",
                                             "account -1 \"T U L O S\""};

std::string DateNodeText(std::string_view display) {
    return std::string(kKeywords[KwDate]) + " " + DisplayDateToNode(display);
}

// The balance sheet of the open book alone: no comparison column (whose figures would stand
// last on each line) and no voucher filter (a new year carries every voucher's balance).
StatementPages OwnStatements(BookTree& book, AccountIndex& index) {
    index.rebuild(book, VoucherFilter{}, nullptr, false);
    StatementContext context;
    context.index = &index;
    StatementPages pages;
    BuildStatements(context, false, pages);
    return pages;
}

bool IsAmountChar(char c) {
    return (c >= '0' && c <= '9') || c == ',' || c == '-';
}

// One line of the balance sheet built without negation: an indented account line gives its
// number and its signed closing balance (debit positive). Headings, totals, the result line
// and the title lines give nothing.
struct BalanceLine {
    bool account = false;
    std::string number;
    Cents cents = 0;
};

BalanceLine ReadBalanceLine(std::string_view line, const AccountIndex& index) {
    BalanceLine result;
    if (line.empty())
        return result;
    size_t skipped = 0;
    while (skipped + 1 < line.size() && static_cast<unsigned char>(line[skipped]) <= 32)
        ++skipped;
    if (skipped == 0)
        return result;                      // level-0 headings and totals
    int cursor = static_cast<int>(skipped); // 1-based: the last character skipped
    std::string word = ExtractField(line, ' ', ' ', cursor);
    if (LeadingDigits(word) != static_cast<int>(word.size()) || index.findAccount(word) < 0)
        return result;
    // The trailing amount, scanned back at most to the blank that ends the number.
    const size_t wordEnd = static_cast<size_t>(cursor - 1);
    size_t start = line.size();
    while (start > wordEnd + 1 && IsAmountChar(line[start - 1]))
        --start;
    result.account = true;
    result.number = std::move(word);
    if (start < line.size())
        result.cents = MoneyToCents(line.substr(start));
    return result;
}

// One entry per account; a balance beyond what one book line holds is split over several
// entries of the same account, which the index adds up again.
int AddOpeningEntries(BookTree& book, BookNode* entries, const std::string& number, Cents cents) {
    int added = 0;
    while (cents != 0) {
        const Cents part = cents > kMaxLineCents   ? kMaxLineCents
                           : cents < kMinLineCents ? kMinLineCents
                                                   : cents;
        BookNode* entry = book.addLast(entries, number);
        book.addLast(entry, std::string(kKeywords[KwMoney]) + " " + std::to_string(part));
        cents -= part;
        ++added;
    }
    return added;
}

// The name between the first and the last double quote, so that a name holding quotes of its
// own comes back into the box whole.
std::string StoredCompanyName(const BookNode* fiscalYear) {
    if (!fiscalYear)
        return {};
    const std::string_view text = fiscalYear->text();
    const size_t first = text.find('"', kKeywords[KwFiscalYear].size());
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.rfind('"');
    if (last <= first)
        return std::string(text.substr(first + 1));
    return std::string(text.substr(first + 1, last - first - 1));
}

std::string FiscalYearText(std::string_view companyName) {
    return std::string(kKeywords[KwFiscalYear]) + " \"" + std::string(companyName) + "\"";
}

} // namespace

BasicDataMode BasicDataModeFromTag(int tag) {
    switch (tag) {
    case 1:
        return BasicDataMode::NewCompany;
    case 2:
        return BasicDataMode::NewFiscalYear;
    default:
        return BasicDataMode::ChangeBasicData;
    }
}

BookNode* AddOpeningVoucher(BookTree& book, BookNode* events, std::string_view firstDay) {
    if (!events)
        return nullptr;
    BookNode* voucher = book.addLast(events, std::string(kKeywords[KwEvent]) + " 0");
    book.addLast(voucher, DateNodeText(firstDay));
    book.addLast(voucher, "\"Tilinavaus\"");
    return book.addLast(voucher, "");
}

CarryOver CarryOverBalances(BookTree& book, std::string_view firstDay, PeriodPrompts& prompts) {
    CarryOver result;
    AccountIndex index(false);
    const StatementPages pages = OwnStatements(book, index);
    BookNode* events = index.events();
    if (!events)
        return result;
    // The lines were read out of the old year's postings; the account list they are checked
    // against stays valid, as only the vouchers go.
    book.removeChildren(events);
    BookNode* entries = AddOpeningVoucher(book, events, firstDay);
    result.done = true;
    if (pages.balance.size() > 1) {
        for (std::string_view line : pages.balance) {
            const BalanceLine balance = ReadBalanceLine(line, index);
            if (!balance.account)
                continue;
            result.total += balance.cents;
            result.lines += AddOpeningEntries(book, entries, balance.number, balance.cents);
        }
    }
    if (result.total != 0)
        prompts.show("Vientien ero " + CentsToText(result.total));
    return result;
}

BasicDataBox::BasicDataBox() : m_firstDay(DateField::firstDay()), m_lastDay(DateField::lastDay()) {}

std::string_view BasicDataBox::caption() const {
    switch (m_mode) {
    case BasicDataMode::NewCompany:
        return kNewCompanyCaption;
    case BasicDataMode::NewFiscalYear:
        return kNewYearCaption;
    case BasicDataMode::ChangeBasicData:
        break;
    }
    return kChangeCaption;
}

BasicDataOpening BasicDataBox::open(BasicDataMode mode, BookTree& book, PeriodPrompts& prompts) {
    BasicDataOpening opening;
    if (!prompts.askSaveChanges())
        return opening;
    if (mode == BasicDataMode::NewFiscalYear) {
        opening.rebuildIndex = true;
        AccountIndex index(false);
        const StatementPages pages = OwnStatements(book, index);
        if (!index.accountMap() || !index.events()) {
            prompts.show("Avaa ensin edellinen tilikausi!");
            return opening;
        }
        if (pages.balanceDifference != 0 &&
            !prompts.askOkCancel("Summien ero " + CentsToText(pages.balanceDifference) +
                                 "\r\nMahdollisesti voitto kirjaamatta taseeseen\r\nJatketaanko?"))
            return opening;
    }
    // The mode changes only when the box really opens, so that a refused command leaves a box
    // that is already open working as it was opened.
    m_mode = mode;
    fill(book);
    m_visible = true;
    opening.shown = true;
    return opening;
}

void BasicDataBox::fill(const BookTree& book) {
    if (m_mode == BasicDataMode::NewCompany) {
        m_companyName.clear();
        m_firstDay.setText(std::string(DateField::kEmptyDate));
        m_lastDay.setText(std::string(DateField::kEmptyDate));
        return;
    }
    const BookNode* fiscalYear = FiscalYearNode(book);
    m_companyName = StoredCompanyName(fiscalYear);
    std::string first = NthDate(1, fiscalYear);
    std::string last = NthDate(2, fiscalYear);
    if (m_mode == BasicDataMode::NewFiscalYear) {
        if (const auto next = FollowingYear(last)) {
            first = next->first;
            last = next->second;
        }
    }
    m_firstDay.setText(std::move(first));
    m_lastDay.setText(std::move(last));
}

void BasicDataBox::buildNewCompany(BookTree& book) const {
    book.clear();
    BookNode* root = book.addLast(nullptr, kBookHeader);
    BookNode* fiscalYear = book.addLast(root, FiscalYearText(m_companyName));
    book.addLast(fiscalYear, DateNodeText(m_firstDay.text()));
    book.addLast(fiscalYear, DateNodeText(m_lastDay.text()));
    BookNode* accountMap = book.addLast(fiscalYear, kKeywords[KwAccountMap]);
    for (std::string_view heading : kTopHeadings)
        book.addLast(accountMap, heading);
    BookNode* events = book.addLast(fiscalYear, "");
    AddOpeningVoucher(book, events, m_firstDay.text());
}

BasicDataResult BasicDataBox::apply(BookTree& book, PeriodState& periods, PeriodPrompts& prompts) {
    BasicDataResult result;
    if (!ValidateFiscalYear(m_firstDay.text(), m_lastDay.text(), periods)) {
        prompts.show("Virheelliset p\xE4iv\xE4ykset");
        return result;
    }
    // New dates that leave vouchers out of the year: they would stay in the statements all
    // the same, so the user says whether that is meant. "Ei" keeps the box open.
    if (m_mode == BasicDataMode::ChangeBasicData) {
        const int outside = VouchersOutside(book, m_firstDay.text(), m_lastDay.text());
        if (outside > 0 &&
            !prompts.askYesNo(std::to_string(outside) +
                              (outside == 1 ? " tosite j\xE4\xE4" : " tositetta j\xE4\xE4") +
                              " tilikauden ulkopuolelle. Jatketaanko?"))
            return result;
    }
    m_visible = false;
    result.applied = true;
    if (m_mode == BasicDataMode::NewCompany) {
        buildNewCompany(book);
        result.forgetFileName = true;
        result.showPageControl = true;
        result.unsaved = UnsavedChange::Clear;
        return result;
    }
    BookNode* fiscalYear = FiscalYearNode(book);
    if (fiscalYear) {
        book.setText(fiscalYear, FiscalYearText(m_companyName));
        if (fiscalYear->childCount() >= 2) {
            book.setText(fiscalYear->child(0), DateNodeText(m_firstDay.text()));
            book.setText(fiscalYear->child(1), DateNodeText(m_lastDay.text()));
        }
        result.unsaved = UnsavedChange::Set;
    }
    if (m_mode == BasicDataMode::NewFiscalYear) {
        if (CarryOverBalances(book, m_firstDay.text(), prompts).done)
            result.unsaved = UnsavedChange::Set;
        result.forgetFileName = true;
    }
    return result;
}

} // namespace kp
