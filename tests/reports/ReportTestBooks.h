// Test support: small books written as nested-list text, parsed and indexed for the reports.
#pragma once

#include "book/BookQueries.h"
#include "book/NestedList.h"
#include "book/ReportLines.h"
#include "ledger/AccountIndex.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace kp::test {

// An account with its empty group node.
inline std::string Acc(int number, const std::string& name) {
    return "(account " + std::to_string(number) + " \"" + name + "\" ())";
}

// A heading whose group node holds the items; without items it has no children at all.
inline std::string Head(const std::string& name, const std::string& items = {}, int number = 0) {
    const std::string group = items.empty() ? "" : " (" + items + ")";
    return "(account " + std::to_string(number) + " \"" + name + "\"" + group + ")";
}

inline std::string Chart(const std::string& assets, const std::string& liabilities,
                         const std::string& result) {
    return Head("V A S T A A V A A", assets, -1) + " " +
           Head("V A S T A T T A V A A", liabilities, -1) + " " + Head("T U L O S", result, -1);
}

// A voucher with lines of (account, cents); the date in node form ("2024 3 5").
inline std::string Event(int number, const std::string& date, const std::string& description,
                         const std::vector<std::pair<int, long long>>& postings) {
    std::string lines;
    for (const auto& [account, cents] : postings)
        lines += "(" + std::to_string(account) + " (money " + std::to_string(cents) + "))";
    return "(event " + std::to_string(number) + " (date " + date + ") \"" + description + "\" (" +
           lines + "))";
}

inline std::string Book(const std::string& chart, const std::string& events,
                        const std::string& first = "2024 1 1",
                        const std::string& last = "2024 12 31") {
    return "(identity \"Razeri\" version \"versio 0.22\" finances (fiscal-year \"Oy Testi Ab\" "
           "(date " +
           first + ") (date " + last + ") (account-map " + chart + ") (" + events + ")))";
}

// A book as the program holds it after opening: tree, fiscal-year check and index. An open
// book is indexed twice: the first rebuild learns where the vouchers are, the second reads
// the latest voucher month.
struct IndexedBook {
    BookTree tree;
    AccountIndex index;
    PeriodState periods;

    explicit IndexedBook(const std::string& text, const VoucherFilter& filter = {},
                         bool openBook = true)
        : index(openBook) {
        ParseNestedList(tree, text);
        const BookNode* fiscalYear = FiscalYearNode(tree);
        ValidateFiscalYear(NthDate(1, fiscalYear), NthDate(2, fiscalYear), periods);
        for (int i = 0; i < (openBook ? 2 : 1); ++i)
            index.rebuild(tree, filter, openBook ? &periods : nullptr, openBook);
    }
};

template <class Case> std::string CaseName(const testing::TestParamInfo<Case>& param) {
    return param.param.name;
}

} // namespace kp::test
