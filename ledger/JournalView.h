// The journal view: one node per voucher of the open book, one child per voucher line.
#pragma once

#include "book/BookQueries.h"
#include "book/BookTree.h"
#include "ledger/AccountIndex.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kp {

inline constexpr std::string_view kJournalRootText = "P\xC4IV\xC4KIRJA";
// Put after the debit total of a voucher whose lines do not sum to zero.
inline constexpr std::string_view kUnbalancedMark = " < V I R H E ";

// What the journal is built from. The events container is the open book's (from the account
// index); voucher dates read while building raise periods->latestEventPeriod.
struct JournalSource {
    const AccountIndex& accounts;
    BookNode* events = nullptr;
    PeriodState* periods = nullptr;
};

// What a journal command did, for the caller to pass on to the application state: after a book
// change the unsaved-changes flag is set and every page marked stale; a view rebuilt after that
// is current again, so its own stale bit is cleared then, and any search in it is over.
struct JournalChange {
    bool bookChanged = false;
    bool viewRebuilt = false;
};

// One voucher line as the journal listing reads it: its amount, and its account as the line
// shows it ("1910 Kassa", or "4000 ???").
struct JournalEntry {
    Cents cents = 0;
    std::string_view account;
};
// Visits one voucher: its text as the view shows it, and its lines.
using VoucherVisit = std::function<void(std::string_view, std::span<const JournalEntry>)>;

// Owns the view tree: the root "PÄIVÄKIRJA", voucher nodes referring to their event nodes in
// the book, and line nodes without reference. Other parts read the texts back (the voucher
// editor, the journal listing), so their form is fixed:
//   voucher: "[12] 05.01.2020: 100,00 < V I R H E  - Ostot" (mark only when unbalanced,
//            " - description" only when there is one)
//   line:    "-100,00: 1910 Kassa", or "100,00: 4000 ???" for an account not in the index
class JournalView {
  public:
    const BookTree& tree() const { return m_tree; }
    // For the voucher editor, which adds the node of a new voucher before posting it.
    BookTree& tree() { return m_tree; }
    BookNode* root() const { return m_tree.first(); }

    // Rebuilds the whole view. Without an events container the view stays empty, without root.
    // Vouchers get their texts and line nodes when these are first needed (makeText, makeLines):
    // most vouchers of a large book are never shown or opened, and their texts and lines would
    // cost more than the nodes.
    void build(const JournalSource& source);

    // Whether a voucher node's text is still to be made (its node text is empty until then).
    bool textPending(const BookNode* voucher) const;
    // Makes a voucher node's text if it is pending.
    void makeText(const BookNode* voucher);
    // A node's text as the page shows it: a pending voucher text is made for the moment only,
    // valid until the next call of the view.
    std::string_view shownText(const BookNode* node);

    // Whether a voucher node's line nodes are still to be made; then it has lines all the same.
    bool linesPending(const BookNode* voucher) const;
    // Makes a voucher node's line nodes if they are pending, from the event it refers to, with
    // the account names of the index the view was built with; its text too.
    void makeLines(const BookNode* voucher);
    // Makes every pending voucher's text and lines: before the whole view is searched or
    // written out.
    void makeAllLines();
    // The view's vouchers as the page shows them opened: each voucher node's text with its
    // lines, pending texts and lines read from the book for the visit only. lineCount counts a
    // voucher's lines, made or pending.
    void forEachShownVoucher(const VoucherVisit& visit);
    int lineCount(const BookNode* voucher) const;

    // Creates (voucherNode none: appended to the root) or refreshes one voucher node with its
    // line nodes. Returns the voucher node, or none when the event is no voucher (fewer than two
    // children, or no "event" in its text); a given node is then left as it was.
    BookNode* buildVoucherNode(BookNode* event, BookNode* voucherNode, const JournalSource& source);

    // What the view would show, voucher by voucher, without building it: for each event that
    // is a voucher, visit(voucher text, lines). The view's own tree is not touched.
    void forEachVoucher(const JournalSource& source, const VoucherVisit& visit);

    // Deletes the last voucher node and its event node. The view is not rebuilt: it is already
    // right, and the journal's stale bit stays set with the others.
    JournalChange deleteLastVoucher(BookTree& book, const JournalSource& source);

    // Numbers the vouchers consecutively from the first one's number and rebuilds the view.
    JournalChange renumberVouchers(BookTree& book, const JournalSource& source);

    // Moves the dragged voucher's event node before the target voucher's and rebuilds the view.
    // Either node may be a line node, which stands for its voucher.
    JournalChange moveVoucher(BookTree& book, const BookNode* dragged, const BookNode* target,
                              const JournalSource& source);

  private:
    // Reads one voucher: its text in m_text and, with lines, its lines in m_entries. False when
    // the event is no voucher.
    bool voucherTexts(BookNode* event, const JournalSource& source, bool lines = true);
    // Reads a voucher node's event as voucherTexts does, with the index the view was built
    // with; the dates read then raise no period.
    bool readVoucher(const BookNode* voucher, bool lines);
    // Reads a voucher's pending text into m_text; false when it has none pending.
    bool readPendingText(const BookNode* voucher);
    // Reads an event's lines: their totals, and with accounts the lines themselves in m_entries.
    void readLines(const BookNode& event, const AccountIndex* accounts, Cents& debit, Cents& net);
    // The line texts of m_entries ("-100,00: 1910 Kassa"), in m_lineTexts.
    void makeLineTexts();
    const BookNode* voucherOf(const BookNode* node) const;
    // The account list position of a line's account number, or -1.
    int accountOf(std::string_view lineText, const AccountIndex& accounts);

    BookTree m_tree;
    const AccountIndex* m_accounts = nullptr; // of the last build, for the lines made later
    // While the whole view is built: account list position by account number text. A book has
    // few accounts and many lines, and a hash lookup is much cheaper than the collating search.
    bool m_caching = false;
    std::unordered_map<std::uint64_t, int> m_accountCache;
    // Reused for every node text, so that a build makes no string per node.
    std::string m_text;
    std::string m_header;
    std::vector<JournalEntry> m_entries; // accounts not in the index are kept in m_unknown
    std::string m_unknown;
    std::vector<std::pair<std::size_t, std::size_t>> m_unknownEnds; // entry, end in m_unknown
    std::vector<std::string_view> m_lineTexts;                      // views of m_lineBytes
    std::string m_lineBytes;
    std::vector<std::size_t> m_lineEnds;
};

} // namespace kp
