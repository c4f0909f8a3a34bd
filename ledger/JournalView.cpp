// The journal view: one node per voucher of the open book, one child per voucher line.
#include "ledger/JournalView.h"

#include "book/TextHelpers.h"

namespace kp {
namespace {

constexpr std::string_view kEvent = kKeywords[KwEvent];
constexpr std::string_view kMoney = kKeywords[KwMoney];
constexpr std::string_view kDate = kKeywords[KwDate];

bool ContainsEvent(std::string_view text) {
    return text.find(kEvent) != std::string_view::npos;
}

// An event is shown as a voucher when it has a keyword "event" and at least two children.
bool IsVoucher(const BookNode* event) {
    return event && event->childCount() >= 2 && ContainsEvent(event->text());
}

// The text between the first and the last double quote (a description may hold quotes of its
// own); to the end when there is no closing one.
std::string_view QuotedField(std::string_view text) {
    const size_t open = text.find('"');
    if (open == std::string_view::npos)
        return {};
    const size_t close = text.rfind('"');
    return text.substr(open + 1, close > open ? close - open - 1 : std::string_view::npos);
}

// A line's amount comes from its first "money" child; a line without one counts 0.
Cents LineCents(const BookNode& line) {
    for (const BookNode* child : line.children()) {
        if (child->startsWith(kMoney)) {
            int cursor = static_cast<int>(kMoney.size()) + 1;
            return ScanNumber(child->text(), cursor);
        }
    }
    return 0;
}

// The description is the first quoted child after the date child. A voucher without a date
// child is searched from its first child, so that its description is still shown.
std::string_view Description(const BookNode& event, int afterDate) {
    const int count = event.childCount();
    const bool dateFound = afterDate < count || event.child(count - 1)->startsWith(kDate);
    for (int i = dateFound ? afterDate : 0; i < count; ++i) {
        const std::string_view text = event.child(i)->text();
        if (!text.empty() && text.front() == '"')
            return QuotedField(text);
    }
    return {};
}

// A run of up to 17 digits as one number that keeps the run's length, so that 0910 and 910
// stay apart: they are different account numbers.
constexpr size_t kMaxPackedDigits = 17;
std::uint64_t PackDigits(std::string_view digits) {
    std::uint64_t value = 0;
    for (const char c : digits)
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    return value * 32 + digits.size();
}

} // namespace

int JournalView::accountOf(std::string_view lineText, const AccountIndex& accounts) {
    // As AccountIndex::lookupAccount, without making the text.
    const std::string_view key = lineText.substr(0, static_cast<size_t>(LeadingDigits(lineText)));
    if (!m_caching || key.empty() || key.size() > kMaxPackedDigits)
        return accounts.findAccount(key);
    const auto [it, added] = m_accountCache.try_emplace(PackDigits(key), -1);
    if (added)
        it->second = accounts.findAccount(key);
    return it->second;
}

void JournalView::build(const JournalSource& source) {
    m_tree.clear();
    if (!source.events)
        return;
    m_accounts = &source.accounts;
    BookNode* root = m_tree.addLast(nullptr, kJournalRootText);
    for (BookNode* event : source.events->children()) {
        if (!IsVoucher(event))
            continue;
        // The dates are read now all the same: they raise the latest period.
        if (source.periods) {
            int afterDate = 0;
            ReadDateChild(*event, afterDate, source.periods);
        }
        m_tree.addLast(root, "")->setReference(event);
    }
}

bool JournalView::textPending(const BookNode* voucher) const {
    // A made voucher text is never empty: it starts with the number in brackets.
    const BookNode* root = m_tree.first();
    return voucher && root && voucher->parent() == root && voucher->text().empty() &&
           voucher->reference();
}

bool JournalView::readVoucher(const BookNode* voucher, bool lines) {
    return m_accounts && voucherTexts(voucher->reference(), {*m_accounts, nullptr, nullptr}, lines);
}

bool JournalView::readPendingText(const BookNode* voucher) {
    return textPending(voucher) && readVoucher(voucher, false);
}

void JournalView::makeText(const BookNode* voucher) {
    if (readPendingText(voucher))
        m_tree.setText(voucher->parent()->child(voucher->index()), m_text);
}

std::string_view JournalView::shownText(const BookNode* node) {
    if (readPendingText(node))
        return m_text;
    return node ? node->text() : std::string_view();
}

bool JournalView::linesPending(const BookNode* voucher) const {
    const BookNode* root = m_tree.first();
    if (!voucher || !root || voucher->parent() != root || voucher->hasChildren())
        return false;
    const BookNode* event = voucher->reference();
    const BookNode* lines = event ? event->child(event->childCount() - 1) : nullptr;
    return lines && lines->hasChildren();
}

void JournalView::makeLines(const BookNode* voucher) {
    if (!m_accounts || !linesPending(voucher))
        return;
    // A voucher's own text, made already, stays as it was.
    if (!readVoucher(voucher, true))
        return;
    BookNode* node = voucher->parent()->child(voucher->index());
    if (textPending(node))
        m_tree.setText(node, m_text);
    makeLineTexts();
    for (const std::string_view line : m_lineTexts)
        m_tree.addLast(node, line);
}

void JournalView::makeAllLines() {
    const BookNode* root = m_tree.first();
    if (!root)
        return;
    m_caching = true;
    for (const BookNode* voucher : root->children()) {
        makeLines(voucher);
        makeText(voucher); // a voucher without lines
    }
    m_caching = false;
    m_accountCache.clear();
}

int JournalView::lineCount(const BookNode* voucher) const {
    if (!linesPending(voucher))
        return voucher ? voucher->childCount() : 0;
    const BookNode* event = voucher->reference();
    return event->child(event->childCount() - 1)->childCount();
}

void JournalView::forEachShownVoucher(const VoucherVisit& visit) {
    const BookNode* root = m_tree.first();
    if (!root)
        return;
    m_caching = true;
    std::vector<JournalEntry> made;
    for (const BookNode* voucher : root->children()) {
        // A pending text comes with pending lines (the lines are made with the text), and both
        // are read from the book in one go.
        if (textPending(voucher) && readVoucher(voucher, true)) {
            visit(m_text, m_entries);
            continue;
        }
        if (m_accounts && linesPending(voucher)) {
            // The voucher's own text is the node's; only its lines are read from the book.
            Cents debit = 0;
            Cents net = 0;
            readLines(*voucher->reference(), m_accounts, debit, net);
            visit(voucher->text(), m_entries);
            continue;
        }
        // A made line reads "amount: account".
        made.clear();
        for (const BookNode* line : voucher->children()) {
            const std::string_view text = line->text();
            const size_t colon = text.find(':');
            JournalEntry entry{MoneyToCents(text.substr(0, colon)), {}};
            if (colon != std::string_view::npos) {
                const size_t blank = text.find(' ', colon);
                if (blank != std::string_view::npos)
                    entry.account = text.substr(blank + 1);
            }
            made.push_back(entry);
        }
        visit(voucher->text(), made);
    }
    m_caching = false;
    m_accountCache.clear();
}

bool JournalView::voucherTexts(BookNode* event, const JournalSource& source, bool lines) {
    if (!IsVoucher(event))
        return false;
    const std::string_view eventText = event->text();
    const size_t at = eventText.find(kEvent);
    int cursor = static_cast<int>(at + kEvent.size()) + 1;
    const std::int32_t number = ScanNumber(eventText, cursor);
    int afterDate = 0;
    const std::string date = ReadDateChild(*event, afterDate, source.periods);
    const std::string_view description = Description(*event, afterDate);

    m_header.assign("[").append(std::to_string(number)).append("] ");
    m_header.append(date).append(": ");

    // Totals in 64 bits: many lines of large amounts must not wrap around.
    Cents debit = 0;
    Cents net = 0;
    readLines(*event, lines ? &source.accounts : nullptr, debit, net);
    m_text.assign(m_header);
    AppendCents(m_text, debit);
    if (net != 0)
        m_text.append(kUnbalancedMark);
    if (!description.empty())
        m_text.append(" - ").append(description);
    return true;
}

void JournalView::readLines(const BookNode& event, const AccountIndex* accounts, Cents& debit,
                            Cents& net) {
    m_entries.clear();
    m_unknown.clear();
    m_unknownEnds.clear();
    for (const BookNode* line : event.child(event.childCount() - 1)->children()) {
        const Cents cents = LineCents(*line);
        net += cents;
        if (cents > 0)
            debit += cents;
        if (!accounts)
            continue;
        const int i = accountOf(line->text(), *accounts);
        if (i >= 0) {
            m_entries.push_back({cents, accounts->accounts()[static_cast<size_t>(i)].text});
            continue;
        }
        // Its text is set once the unknown ones are all kept.
        m_entries.push_back({cents, {}});
        m_unknown.append(line->text()).append(" ???");
        m_unknownEnds.emplace_back(m_entries.size() - 1, m_unknown.size());
    }
    size_t from = 0;
    for (const auto& [entry, end] : m_unknownEnds) {
        m_entries[entry].account = std::string_view(m_unknown).substr(from, end - from);
        from = end;
    }
}

void JournalView::makeLineTexts() {
    m_lineBytes.clear();
    m_lineEnds.clear();
    for (const JournalEntry& entry : m_entries) {
        AppendCents(m_lineBytes, entry.cents);
        m_lineBytes.append(": ").append(entry.account);
        m_lineEnds.push_back(m_lineBytes.size());
    }
    m_lineTexts.clear();
    for (size_t i = 0, from = 0; i < m_lineEnds.size(); from = m_lineEnds[i++])
        m_lineTexts.push_back(std::string_view(m_lineBytes).substr(from, m_lineEnds[i] - from));
}

BookNode* JournalView::buildVoucherNode(BookNode* event, BookNode* voucherNode,
                                        const JournalSource& source) {
    if (!voucherTexts(event, source))
        return nullptr;
    if (voucherNode) {
        m_tree.removeChildren(voucherNode);
    } else {
        BookNode* root = m_tree.first();
        if (!root)
            root = m_tree.addLast(nullptr, kJournalRootText);
        voucherNode = m_tree.addLast(root, "");
    }
    voucherNode->setReference(event);
    makeLineTexts();
    for (const std::string_view line : m_lineTexts)
        m_tree.addLast(voucherNode, line);
    m_tree.setText(voucherNode, m_text);
    return voucherNode;
}

void JournalView::forEachVoucher(const JournalSource& source, const VoucherVisit& visit) {
    if (!source.events)
        return;
    m_caching = true;
    for (BookNode* event : source.events->children())
        if (voucherTexts(event, source))
            visit(m_text, m_entries);
    m_caching = false;
    m_accountCache.clear();
}

JournalChange JournalView::deleteLastVoucher(BookTree& book, const JournalSource& source) {
    BookNode* root = m_tree.first();
    if (!root || !root->hasChildren())
        return {};
    BookNode* voucher = root->child(root->childCount() - 1);
    BookNode* event = voucher->reference();
    // Only an event the book still holds in its events container is deleted; a view left from
    // before a change of the book must not delete some other node.
    const bool inBook = event && source.events && event->parent() == source.events;
    if (inBook)
        book.remove(event);
    m_tree.remove(voucher);
    return {inBook, false};
}

JournalChange JournalView::renumberVouchers(BookTree& book, const JournalSource& source) {
    BookNode* events = source.events;
    if (!events || !events->hasChildren() || !ContainsEvent(events->child(0)->text()))
        return {};
    // The first voucher keeps its number; children that are no vouchers take none. Counted in
    // 64 bits so that a first number near the top of the range cannot overflow.
    int cursor = static_cast<int>(kEvent.size());
    std::int64_t number = ScanNumber(events->child(0)->text(), cursor);
    bool changed = false;
    for (int i = 1; i < events->childCount(); ++i) {
        BookNode* event = events->child(i);
        if (!ContainsEvent(event->text()))
            continue;
        ++number;
        m_text.assign(kEvent).append(" ").append(std::to_string(number));
        if (event->text() != m_text) {
            book.setText(event, m_text);
            changed = true;
        }
    }
    build(source);
    return {changed, true};
}

const BookNode* JournalView::voucherOf(const BookNode* node) const {
    if (!node)
        return nullptr;
    while (node->parent() && node->parent()->parent())
        node = node->parent();
    // The root stands for no voucher, and nodes of other trees are not ours to move.
    if (!node->parent() || node->parent() != m_tree.first())
        return nullptr;
    return node;
}

JournalChange JournalView::moveVoucher(BookTree& book, const BookNode* dragged,
                                       const BookNode* target, const JournalSource& source) {
    const BookNode* from = voucherOf(dragged);
    const BookNode* to = voucherOf(target);
    if (!from || !to || from == to || !source.events)
        return {};
    BookNode* fromEvent = from->reference();
    BookNode* toEvent = to->reference();
    if (!fromEvent || !toEvent || fromEvent == toEvent || fromEvent->parent() != source.events ||
        toEvent->parent() != source.events)
        return {};
    // Dropping a voucher on the one that follows it leaves the order as it is.
    if (fromEvent->index() + 1 == toEvent->index())
        return {};
    book.moveBefore(fromEvent, toEvent);
    build(source);
    return {true, true};
}

} // namespace kp
