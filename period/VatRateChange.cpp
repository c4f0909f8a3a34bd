// The VAT rate panel: every rate of the chart of accounts with a new rate typed beside it.
#include "period/VatRateChange.h"

#include "book/BookQueries.h"
#include "book/TextHelpers.h"

#include <algorithm>
#include <array>
#include <unordered_set>

namespace kp {
namespace {

constexpr std::string_view kVatPrefix = "vat ";
// The VAT classes whose node carries a rate, in the order they are tried.
constexpr std::array<std::string_view, 3> kRatedCodes = {"sales", "credit", "purchase"};

bool IsRateDigit(char c) {
    return c >= '0' && c <= '9';
}

BookNode* OpenAccountMap(const BookTree& book) {
    return AccountMapNode(FiscalYearNode(book));
}

// A typed new rate in hundredths, or -1 when the text is not a rate: a text that does not
// convert gives 0, which counts as a rate only when the text starts with "0".
std::int64_t TypedRate(std::string_view cell) {
    const std::int32_t rate = TextToScaled(cell, 2);
    if (rate <= 0 && (cell.empty() || cell.front() != '0'))
        return -1;
    return rate;
}

} // namespace

std::string RateText(std::int64_t hundredths) {
    return ScaledToText(hundredths, 2);
}

std::string ShortRateText(std::string_view rateText) {
    std::string text(rateText);
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == ',')
        text.pop_back();
    return text;
}

std::string ReplaceRateInName(std::string_view accountText, std::string_view oldRate,
                              std::string_view newRate) {
    std::string text(accountText);
    const size_t afterKeyword = kKeywords[KwAccount].size() + 1; // "account "
    if (oldRate.empty() || text.size() <= afterKeyword)
        return text;
    const int digits = LeadingDigits(std::string_view(text).substr(afterKeyword));
    if (digits == 0)
        return text;
    // The name begins after the number and the blank that follows it.
    size_t from = afterKeyword + static_cast<size_t>(digits) + 1;
    while (from < text.size()) {
        const size_t at = text.find(oldRate, from);
        if (at == std::string::npos)
            break;
        from = at + 1;
        // A rate stands on its own: 24 is no rate inside 2024 or 124, nor 5 inside 25,5.
        const char before = text[at - 1];
        if (IsRateDigit(before) || before == ',' || before == '.')
            continue;
        size_t after = at + oldRate.size();
        if (after < text.size() && text[after] == ' ')
            ++after;
        if (after >= text.size() || text[after] != '%')
            continue;
        // Every mention of the rate as a rate changes: the account has one rate, and a name
        // that kept the old one anywhere would say two different things.
        text.replace(at, oldRate.size(), newRate);
        from = at + newRate.size();
    }
    return text;
}

void VatRatePanel::cancel() {
    m_rows.assign(1, Row{});
    m_editedRow = -1;
    m_currentRow = 0;
    m_currentColumn = 1;
    m_visible = false;
}

VatRatePanel::Row* VatRatePanel::rowFor(const std::string& rateText) {
    for (Row& row : m_rows)
        if (row.currentRate == rateText)
            return &row;
    if (m_rows.front().nodes.empty()) {
        m_rows.front().currentRate = rateText;
        return &m_rows.front();
    }
    m_rows.push_back(Row{rateText, {}, {}});
    return &m_rows.back();
}

bool VatRatePanel::open(BookTree& book) {
    BookNode* accountMap = OpenAccountMap(book);
    if (!accountMap)
        return false;
    m_editedRow = -1;
    m_visible = true;
    std::vector<BookNode*> vatNodes;
    CollectByPrefix(accountMap, kVatPrefix, vatNodes);
    for (BookNode* node : vatNodes) {
        const std::string_view text = node->text();
        if (text.size() < 6)
            continue;
        int cursor = 5;
        const std::int32_t rate = ScanNumber(text, cursor);
        if (rate <= 0 && !IsRateDigit(text.back()))
            continue; // a class without a rate
        const std::string_view code = text.substr(kVatPrefix.size());
        for (std::string_view rated : kRatedCodes) {
            if (text.size() <= rated.size() + 5 || code.substr(0, rated.size()) != rated)
                continue;
            Row* row = rowFor(RateText(rate));
            // Opening the panel again lists each node once, so that its account's name is
            // not searched twice for the old rate.
            if (std::find(row->nodes.begin(), row->nodes.end(), node) == row->nodes.end())
                row->nodes.push_back(node);
            break;
        }
    }
    m_currentRow = 0;
    m_currentColumn = 1;
    return true;
}

void VatRatePanel::editNewRate(std::string text) {
    m_editedRow = m_currentRow;
    m_rows[static_cast<size_t>(m_currentRow)].newRate = std::move(text);
}

void VatRatePanel::enter() {
    m_editedRow = m_currentRow;
    if (m_currentRow + 1 < static_cast<int>(m_rows.size()))
        selectCell(m_currentRow + 1, m_currentColumn);
    else
        normaliseNewRate();
}

void VatRatePanel::selectCell(int row, int column) {
    normaliseNewRate();
    m_currentRow = std::clamp(row, 0, static_cast<int>(m_rows.size()) - 1);
    m_currentColumn = std::clamp(column, 0, 1);
}

void VatRatePanel::normaliseNewRate() {
    const int edited = m_editedRow;
    m_editedRow = -1;
    if (edited < 0 || edited >= static_cast<int>(m_rows.size()))
        return;
    std::string& cell = m_rows[static_cast<size_t>(edited)].newRate;
    if (cell.empty())
        return;
    const std::int64_t rate = TypedRate(cell);
    cell = rate < 0 ? std::string() : RateText(rate);
}

VatRateOutcome VatRatePanel::ok(BookTree& book, PeriodPrompts& prompts) {
    VatRateOutcome outcome;
    if (m_rows.front().nodes.empty())
        return outcome;
    normaliseNewRate();
    if (!prompts.askYesNo("Muutetaanko alv-prosentit?"))
        return outcome;
    // Only nodes that are still VAT nodes of the open book's chart are touched.
    std::vector<BookNode*> current;
    CollectByPrefix(OpenAccountMap(book), kVatPrefix, current);
    const std::unordered_set<const BookNode*> live(current.begin(), current.end());
    for (const Row& row : m_rows) {
        if (row.nodes.empty() || row.newRate.empty())
            continue;
        const std::int64_t rate = TypedRate(row.newRate);
        if (rate < 0)
            continue;
        const std::string oldShort = ShortRateText(row.currentRate);
        // From the rate itself: a cell left unchecked may still read "110".
        const std::string newShort = ShortRateText(RateText(rate));
        for (BookNode* node : row.nodes) {
            if (!live.count(node))
                continue;
            const std::string_view text = node->text();
            size_t number = kVatPrefix.size();
            while (number < text.size() && !IsNumberChar(text[number]))
                ++number;
            if (number < text.size()) {
                book.setText(node, std::string(text.substr(0, number)) + std::to_string(rate));
                outcome.bookChanged = true;
            }
            BookNode* account = node->parent();
            if (account && account->startsWith(kKeywords[KwAccount])) {
                const std::string renamed = ReplaceRateInName(account->text(), oldShort, newShort);
                if (renamed != account->text()) {
                    book.setText(account, renamed);
                    outcome.bookChanged = true;
                }
            }
        }
    }
    cancel();
    outcome.closed = true;
    return outcome;
}

} // namespace kp
