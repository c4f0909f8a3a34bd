// The chart view: the account map as a tree of lines that refer to the account nodes they show.
#pragma once

#include "book/BookQueries.h"
#include "book/BookTree.h"
#include "book/ReportLines.h"
#include "ledger/AccountIndex.h"

#include <array>
#include <string>
#include <string_view>

namespace kp {

inline constexpr std::string_view kChartRootText = "TILIKARTTA";

// One text per VAT class 0..13 (item 0 is "-"): the drop-down VAT texts that label the chart's
// VAT lines and the account editor's choice. The user may edit them; the settings keep them.
using VatTexts = std::array<std::string, kVatClassCount>;

// The default names of the VAT classes ("-", "Myynti", "Myynnin alv", ...).
VatTexts DefaultVatTexts();

// The VAT class 1..13 whose item in the list matches the text, or 0. The text is cut before its
// first digit and trailing blanks are dropped, so that a VAT line "Myynti 24,00" finds
// "Myynti". An item equal to the cut text wins; otherwise the first item that begins with it.
int FindVatClass(std::string_view text, const VatTexts& list);
// The same search over the VAT codes of the code table ("sales" is class 1).
int FindVatClassOfCode(std::string_view code);

// Owns the view tree. Lines:
//   root     "TILIKARTTA", referring to the account-map node
//   heading  the name (number 0 or less)
//   account  "1910 Kassa"
//   VAT line the drop-down text of the account's class, for classes 1..3 with a rate followed by
//            the rate with two decimals ("Myynti 24,00"); no reference; first child line of its
//            account line, before the sub-account lines
class ChartView {
  public:
    const BookTree& tree() const { return m_tree; }
    // For the account editor, which adds, removes and moves lines in place.
    BookTree& tree() { return m_tree; }
    BookNode* root() const { return m_tree.first(); }

    // Rebuilds the whole view. Without an account map the view stays empty.
    void build(BookNode* accountMap, const VatTexts& vatTexts);

    // Appends the lines of the node's subtree under the parent line (a new root line when none):
    // every node whose text contains "account" gets a line, its descendants' lines hang under
    // it; group and VAT nodes get none. Returns the node's own line, or none.
    BookNode* addChartLines(BookNode* node, BookNode* parentLine, const VatTexts& vatTexts);

    // Sets the line's text and reference from the account node and renews its VAT line; the
    // line's sub-account lines stay.
    void setChartLine(BookNode* account, BookNode* line, const VatTexts& vatTexts);

  private:
    BookTree m_tree;
    std::string m_text;
};

// The "Kartta" printout: every line of the chart view in pre-order, indented by two blanks per
// level below the root.
ReportLines ChartMapLines(const ChartView& chart);

// The "Luettelo" printout and the chart page's export: the account list's entries in order.
ReportLines AccountListLines(const AccountIndex& index);

} // namespace kp
