// Test support: small books written as nested-list text and parsed into a tree.
#pragma once

#include "book/BookTree.h"
#include "book/NestedList.h"

#include <gtest/gtest.h>
#include <string>

namespace kp::test {

// "(account 1910 \"Kassa\" (sub-items))", with a VAT node after the group when vat is given.
inline std::string Account(int number, const std::string& name, const std::string& vat = {},
                           const std::string& subItems = {}) {
    return "(account " + std::to_string(number) + " \"" + name + "\" (" + subItems + ")" +
           (vat.empty() ? "" : " (" + vat + ")") + ")";
}

// The three top headings; the first two hold the given items in their group nodes.
inline std::string TopHeadings(const std::string& assets = {}, const std::string& debts = {}) {
    auto heading = [](const char* name, const std::string& items) {
        return "(account -1 \"" + std::string(name) + "\"" +
               (items.empty() ? "" : " (" + items + ")") + ") ";
    };
    return heading("V A S T A A V A A", assets) + heading("V A S T A T T A V A A", debts) +
           heading("T U L O S", {});
}

inline std::string Line(const std::string& account, long long cents) {
    return "(" + account + " (money " + std::to_string(cents) + "))";
}

inline std::string Voucher(int number, const std::string& date, const std::string& description,
                           const std::string& lines) {
    return "(event " + std::to_string(number) + " (date " + date + ") \"" + description + "\" (" +
           lines + "))";
}

// A book of the fiscal year 2020 with the account map's and the events container's items.
inline BookTree ParseBook(const std::string& accountItems, const std::string& eventItems) {
    BookTree tree;
    ParseNestedList(tree, "(identity (fiscal-year \"Oy Testi Ab\" (date 2020 1 1) (date 2020 12 "
                          "31) (account-map " +
                              accountItems + ") (" + eventItems + ")))");
    return tree;
}

template <class Case> std::string CaseName(const testing::TestParamInfo<Case>& param) {
    return param.param.name;
}

} // namespace kp::test
