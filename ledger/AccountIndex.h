// The account index: sorted account lists and every account's postings, rebuilt from a book.
#pragma once

#include "book/BookQueries.h"
#include "book/BookTree.h"
#include "book/PlainArray.h"
#include "book/TextHelpers.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kp {

// One entry of the account list: number word, blank, name ("1910 Kassa"), with its node.
struct AccountEntry {
    std::string text;
    BookNode* node = nullptr;
};

// One posting of an account. The voucher's text ("number TAB description TAB date") is shared
// by all postings of the voucher and kept once in the index.
struct LedgerEntry {
    std::uint32_t voucher = 0;
    std::int32_t cents = 0;
};

// Only vouchers whose description begins with the text count (case-sensitive).
struct VoucherFilter {
    bool on = false;
    std::string text;
};

class AccountIndex {
  public:
    // The index of the open book keeps the account name list too; the comparison book's does not.
    explicit AccountIndex(bool keepNameList) : m_keepNames(keepNameList) {}

    // Rebuilds everything from the book. Voucher dates raise periods->latestEventPeriod as they
    // are read; the open book's index resets it first (resetLatest) and records its events
    // container's level for the next reads.
    void rebuild(BookTree& book, const VoucherFilter& filter, PeriodState* periods,
                 bool resetLatest);
    void clear();

    const std::vector<AccountEntry>& accounts() const { return m_accounts; }
    const std::vector<std::string>& names() const { return m_names; }

    BookNode* fiscalYear() const { return m_fiscalYear; }
    BookNode* accountMap() const { return m_accountMap; }
    BookNode* events() const { return m_events; }
    void forgetAccountMap() { m_accountMap = nullptr; }

    // The postings of an account node, in book order; empty when it has none.
    std::span<const LedgerEntry> entries(const BookNode* account) const;
    // "number TAB description TAB date" of a posting's voucher.
    std::string_view voucherText(std::uint32_t voucher) const {
        const std::uint32_t from = voucher ? m_voucherEnds[voucher - 1] : 0;
        return {m_voucherTexts.data() + from, m_voucherEnds[voucher] - from};
    }
    std::string entryText(const LedgerEntry& e) const {
        return std::string(voucherText(e.voucher));
    }

    // The account list entry for an account number: an entry whose number is exactly the key
    // wins; only when there is none does a number that begins with the key's digits serve.
    int findAccount(std::string_view key) const;
    // Number and name for display, or the text followed by " ???".
    std::string lookupAccount(std::string_view text) const;

  private:
    void indexAccounts(BookNode* top, PeriodState* periods, const VoucherFilter& filter);
    void addAccount(BookNode* node, std::string_view number, std::string_view name);
    void sortLists();
    void indexVoucher(BookNode* event, PeriodState* periods, const VoucherFilter& filter);

    bool m_keepNames;
    std::vector<AccountEntry> m_accounts;
    std::vector<std::string> m_names;
    bool m_unsorted = false;

    // Grown with realloc and trimmed when the index is built: a list holds what it uses.
    std::vector<PlainArray<LedgerEntry>> m_lists; // by node tag - 1
    std::vector<const BookNode*> m_listOwners;
    // The voucher texts one after another, and where each ends: one allocation for them all.
    PlainArray<char> m_voucherTexts;
    PlainArray<std::uint32_t> m_voucherEnds;
    std::unordered_map<std::int32_t, int> m_numberCache; // account number -> list position

    BookNode* m_fiscalYear = nullptr;
    BookNode* m_accountMap = nullptr;
    BookNode* m_events = nullptr;
};

} // namespace kp
