// The account index: sorted account lists and every account's postings, rebuilt from a book.
#include "ledger/AccountIndex.h"

#include <algorithm>
#include <charconv>

namespace kp {
namespace {

// Sorts by the collation, keeping the first of entries that compare equal (list order is the
// order of insertion, so the first one added stays).
template <class T, class TextOf> void SortUnique(std::vector<T>& list, TextOf textOf) {
    std::stable_sort(list.begin(), list.end(), [&](const T& a, const T& b) {
        return CollateCompare(textOf(a), textOf(b)) < 0;
    });
    auto last = std::unique(list.begin(), list.end(), [&](const T& a, const T& b) {
        return CollateCompare(textOf(a), textOf(b)) == 0;
    });
    list.erase(last, list.end());
}

} // namespace

void AccountIndex::clear() {
    m_accounts.clear();
    m_names.clear();
    m_lists.clear();
    m_listOwners.clear();
    m_voucherTexts.clear();
    m_voucherEnds.clear();
    m_numberCache.clear();
    m_unsorted = false;
    m_fiscalYear = m_accountMap = m_events = nullptr;
}

void AccountIndex::rebuild(BookTree& book, const VoucherFilter& filter, PeriodState* periods,
                           bool resetLatest) {
    clear();
    if (periods && resetLatest)
        periods->latestEventPeriod = 0;
    if (book.empty()) {
        // Nothing of an emptied book may be referred to any more.
        if (periods && resetLatest)
            periods->eventsContainerLevel = -1;
        return;
    }
    // The events container is located before the walk: voucher dates raise the latest period
    // only below the open book's container, so its level must be this book's before the first
    // date is read (else the first indexing after opening a book would raise nothing). An added
    // empty container changes nothing in the walk.
    m_fiscalYear = FiscalYearNode(book);
    if (m_fiscalYear) {
        m_accountMap = AccountMapNode(m_fiscalYear);
        if (m_accountMap) {
            m_events = m_fiscalYear->child(m_accountMap->index() + 1);
            if (!m_events)
                m_events = book.addLast(m_fiscalYear, "");
        }
    }
    if (periods && resetLatest)
        periods->eventsContainerLevel = m_events ? m_events->level() : -1;
    indexAccounts(book.first(), periods, filter);
    sortLists();
    for (PlainArray<LedgerEntry>& list : m_lists)
        list.trim();
    m_voucherTexts.trim();
    m_voucherEnds.trim();
}

void AccountIndex::addAccount(BookNode* node, std::string_view number, std::string_view name) {
    std::string entry;
    entry.reserve(number.size() + 1 + name.size());
    entry.append(number).append(" ").append(name);
    m_accounts.push_back({std::move(entry), node});
    if (m_keepNames) {
        std::string nameEntry;
        nameEntry.append(name).append(" ").append(number);
        m_names.push_back(std::move(nameEntry));
    }
    m_unsorted = true;
}

void AccountIndex::sortLists() {
    if (!m_unsorted)
        return;
    m_numberCache.clear();
    SortUnique(m_accounts, [](const AccountEntry& e) -> std::string_view { return e.text; });
    SortUnique(m_names, [](const std::string& s) -> std::string_view { return s; });
    m_unsorted = false;
}

void AccountIndex::indexAccounts(BookNode* top, PeriodState* periods, const VoucherFilter& filter) {
    // Depth-first in child order, iteratively: a voucher ends the descent. A numbered account
    // does not: its group node may hold sub-accounts, which the statements sum under it and
    // which must be found and posted to like any other.
    std::vector<BookNode*> pending{top};
    while (!pending.empty()) {
        BookNode* node = pending.back();
        pending.pop_back();
        const std::string_view text = node->text();
        bool descend = true;
        if (text.size() >= 5 && node->startsWith(kKeywords[KwAccount])) {
            int cursor = 7;
            const std::string number = ExtractField(text, ' ', ' ', cursor);
            if (ConvertRun(number) > 0) {
                const std::string name = QuotedName(text, cursor);
                addAccount(node, number, name);
                node->setTag(0);
            }
        } else if (text.size() >= 5 && node->startsWith(kKeywords[KwEvent])) {
            indexVoucher(node, periods, filter);
            descend = false;
        }
        if (descend) {
            const auto& children = node->children();
            pending.insert(pending.end(), children.rbegin(), children.rend());
        }
    }
}

void AccountIndex::indexVoucher(BookNode* event, PeriodState* periods,
                                const VoucherFilter& filter) {
    int cursor = 5;
    const std::int32_t number = ScanNumber(event->text(), cursor);
    if (event->childCount() < 3 || !event->child(2)->hasChildren())
        return;
    int quote = 1;
    const std::string_view description =
        TrimControl(QuotedNameView(event->child(1)->text(), quote));
    if (filter.on && description.compare(0, filter.text.size(), filter.text) != 0)
        return;
    if (filter.on && description.size() < filter.text.size())
        return;
    int counter = 0;
    const std::string date = ReadDateChild(*event, counter, periods);
    sortLists(); // accounts met so far are searchable, as in a list kept sorted at all times
    const auto voucher = static_cast<std::uint32_t>(m_voucherEnds.size());
    bool used = false;
    for (const BookNode* line : event->child(2)->children()) {
        if (!line->hasChildren())
            continue;
        int lineCursor = 1;
        const std::int32_t lineNumber = ScanNumber(line->text(), lineCursor);
        // A book has few accounts and many lines: each number is searched for once.
        auto cached = m_numberCache.find(lineNumber);
        if (cached == m_numberCache.end())
            cached =
                m_numberCache.emplace(lineNumber, findAccount(std::to_string(lineNumber))).first;
        const int i = cached->second;
        if (i < 0 || !m_accounts[static_cast<size_t>(i)].node)
            continue;
        const BookNode* money = line->child(0);
        if (!money->startsWith(kKeywords[KwMoney]))
            continue;
        int moneyCursor = 5;
        const std::int32_t cents = ScanNumber(money->text(), moneyCursor);
        BookNode* account = m_accounts[static_cast<size_t>(i)].node;
        std::uint32_t tag = account->tag();
        if (tag == 0 || tag > m_lists.size() || m_listOwners[tag - 1] != account) {
            m_lists.emplace_back();
            m_listOwners.push_back(account);
            tag = static_cast<std::uint32_t>(m_lists.size());
            account->setTag(tag);
        }
        m_lists[tag - 1].push_back({voucher, cents});
        used = true;
    }
    if (used) {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
        m_voucherTexts.append(digits, static_cast<std::size_t>(end - digits));
        m_voucherTexts.push_back('\t');
        m_voucherTexts.append(description.data(), description.size());
        m_voucherTexts.push_back('\t');
        m_voucherTexts.append(date.data(), date.size());
        m_voucherEnds.push_back(static_cast<std::uint32_t>(m_voucherTexts.size()));
    }
}

std::span<const LedgerEntry> AccountIndex::entries(const BookNode* account) const {
    const std::uint32_t tag = account ? account->tag() : 0;
    if (tag == 0 || tag > m_lists.size() || m_listOwners[tag - 1] != account)
        return {};
    const PlainArray<LedgerEntry>& list = m_lists[tag - 1];
    return {list.data(), list.size()};
}

int AccountIndex::findAccount(std::string_view key) const {
    const int count = static_cast<int>(m_accounts.size());
    auto textOf = [&](int i) -> std::string_view {
        return m_accounts[static_cast<size_t>(i)].text;
    };
    const int hit = FindByPrefix(count, key, textOf);
    if (hit < 0)
        return hit;
    // Entries with the key as prefix are adjacent; the one whose number is exactly the key
    // sorts first among them (a blank sorts before any digit).
    int first = hit;
    while (first > 0 && ComparePrefix(textOf(first - 1), key) == 0)
        --first;
    for (int i = first; i < count && ComparePrefix(textOf(i), key) == 0; ++i) {
        const std::string_view text = textOf(i);
        if (text.size() == key.size() || text[key.size()] == ' ')
            return i;
    }
    return hit;
}

std::string AccountIndex::lookupAccount(std::string_view text) const {
    const std::string_view key = text.substr(0, static_cast<size_t>(LeadingDigits(text)));
    const int i = findAccount(key);
    if (i < 0)
        return std::string(text) + " ???";
    return m_accounts[static_cast<size_t>(i)].text;
}

} // namespace kp
