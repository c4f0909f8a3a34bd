// The income statement and the balance sheet, with the comparison year's column and the filter box.
#include "reports/Statements.h"

#include "reports/GeneralLedger.h"
#include "reports/PeriodChooser.h"

#include <utility>

namespace kp {
namespace {

constexpr int kKeywordLength = 7; // "account"

bool IsAccountText(const BookNode* node) {
    return node->startsWith(kKeywords[KwAccount]);
}

bool Contains(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
}

// The number after the keyword and the quoted name after it; headings have numbers up to 0.
struct AccountWords {
    std::int32_t number = 0;
    std::string name;
};

AccountWords ReadAccountWords(std::string_view text) {
    AccountWords words;
    int cursor = kKeywordLength;
    words.number = ScanNumber(text, cursor);
    words.name = QuotedName(text, cursor);
    return words;
}

// The merge's second try: "account <number>" of an account, or nothing for a heading or a node
// that is no account.
std::string_view NumberPrefix(std::string_view text) {
    int cursor = kKeywordLength;
    const std::string word = ExtractField(text, ' ', ' ', cursor);
    if (ConvertRun(word) <= 0)
        return {};
    return text.substr(0, static_cast<size_t>(cursor - 1));
}

// A child whose text begins with the prefix and goes on with a blank or ends there, so that
// account 19 is not taken for account 1910.
BookNode* FindByNumberPrefix(const BookNode* parent, std::string_view prefix) {
    for (BookNode* child : parent->children()) {
        const std::string_view text = child->text();
        if (text.substr(0, prefix.size()) == prefix &&
            (text.size() == prefix.size() || text[prefix.size()] == ' '))
            return child;
    }
    return nullptr;
}

BookNode* FindByTextPrefix(const BookNode* parent, std::string_view prefix) {
    for (BookNode* child : parent->children())
        if (child->startsWith(prefix))
            return child;
    return nullptr;
}

std::string AmountText(Cents cents, bool negate) {
    return CentsToText(negate ? -cents : cents);
}

// An account's amounts in both years, and whether it gets a line (postings in either year).
struct AccountAmounts {
    bool shown = false;
    Cents current = 0;
    Cents comparison = 0;
};

AccountAmounts AmountsOf(const BookNode* node, const SectionState& state) {
    AccountAmounts a;
    if (!state.comparison()) {
        const auto& entries = state.index->entries(node);
        a.shown = !entries.empty();
        a.current = SumPostings(entries);
        return a;
    }
    const BookNode* current = state.pairing->currentFor(node);
    const auto& currentEntries = state.index->entries(current);
    const auto& comparisonEntries = state.comparisonIndex->entries(node);
    a.shown = !currentEntries.empty() || !comparisonEntries.empty();
    a.current = SumPostings(currentEntries);
    a.comparison = SumPostings(comparisonEntries);
    return a;
}

bool IsMarkedAccount(const BookNode* node, const AccountWords& words) {
    return words.number > 0 && Contains(node->text(), '@');
}

// The line of a child that is a heading or an account; the running sums of its parent's loop
// take an account's amounts.
void AddChildLine(const BookNode* node, int depth, SectionSums& sums, SectionState& state,
                  ReportLines& lines) {
    const AccountWords words = ReadAccountWords(node->text());
    std::string line = FillString(depth, ' ');
    if (words.number > 0)
        line.append(std::to_string(words.number)).append(" ");
    line.append(words.name);
    if (words.number <= 0) {
        // A "#" heading is a subtotal of what its parent's loop has counted so far.
        const size_t mark = line.find('#');
        if (mark != std::string::npos) {
            line.erase(mark, 1);
            line.append("\t").append(AmountText(sums.sum, state.negate));
        }
        lines.push_back(std::move(line));
        return;
    }
    const AccountAmounts amounts = AmountsOf(node, state);
    if (!amounts.shown)
        return;
    if (IsMarkedAccount(node, words)) {
        state.markedSum = amounts.current;
        state.comparisonMarkedSum = amounts.comparison;
        return;
    }
    line.append("\t").append(AmountText(amounts.current, state.negate));
    sums.sum += amounts.current;
    if (state.comparison()) {
        line.append("\t").append(AmountText(amounts.comparison, state.negate));
        sums.comparisonSum += amounts.comparison;
    }
    lines.push_back(std::move(line));
}

// What follows a node's sub-lines: an empty line after a "#" node, the total after a heading
// (after the period result when the node is the section's top).
void FinishNode(const BookNode* node, int depth, SectionSums& sums, const SectionState& state,
                ReportLines& lines) {
    if (!IsAccountText(node))
        return;
    if (Contains(node->text(), '#')) {
        lines.emplace_back();
        return;
    }
    const AccountWords words = ReadAccountWords(node->text());
    if (words.number > 0)
        return;
    const bool comparison = state.comparison();
    if (depth == 0 &&
        (state.periodResult != 0 || (comparison && state.comparisonPeriodResult != 0))) {
        sums.sum += state.periodResult;
        std::string line = " Tilikauden tulos\t" + AmountText(state.periodResult, state.negate);
        if (comparison) {
            sums.comparisonSum += state.comparisonPeriodResult;
            line.append("\t").append(AmountText(state.comparisonPeriodResult, state.negate));
        }
        lines.push_back(std::move(line));
        lines.emplace_back();
    }
    std::string total = FillString(depth, ' ');
    total.append("Yht. ")
        .append(words.name)
        .append("\t")
        .append(AmountText(sums.sum, state.negate));
    if (comparison)
        total.append("\t").append(AmountText(sums.comparisonSum, state.negate));
    lines.push_back(std::move(total));
    lines.emplace_back();
}

// The "@" account of a section before its lines are built, so that the period result shown at
// its end takes it in wherever the account stands.
void ScanMarkedAccount(const BookNode* top, SectionState& state) {
    std::vector<const BookNode*> pending{top};
    while (!pending.empty()) {
        const BookNode* node = pending.back();
        pending.pop_back();
        if (node != top && IsAccountText(node) && Contains(node->text(), '@')) {
            const AccountWords words = ReadAccountWords(node->text());
            const AccountAmounts amounts = AmountsOf(node, state);
            if (IsMarkedAccount(node, words) && amounts.shown) {
                state.markedSum = amounts.current;
                state.comparisonMarkedSum = amounts.comparison;
            }
        }
        const auto& children = node->children();
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
}

std::string Subtitle(const StatementContext& context) {
    std::string s;
    if (!context.periods)
        return context.filter.titleSuffix();
    const PeriodState& periods = *context.periods;
    const int month = PeriodMonth(periods.latestEventPeriod);
    if (month >= 1 && month <= 12 && periods.latestEventPeriod != periods.fiscalEndPeriod)
        s.append(kPeriodItems[static_cast<size_t>(month)]).append(" ");
    s += context.filter.titleSuffix();
    // The calendar year reached, for a fiscal year over several; none before the first voucher.
    if (periods.yearList.visible && periods.latestEventPeriod != 0) {
        if (!s.empty() && s.back() != ' ')
            s += ' ';
        s += std::to_string(PeriodYear(periods.latestEventPeriod));
    }
    return s;
}

} // namespace

void ChartPairing::add(const BookNode* current, const BookNode* comparison) {
    m_toCurrent.emplace(comparison, current);
    m_toComparison.emplace(current, comparison);
}

const BookNode* ChartPairing::currentFor(const BookNode* comparison) const {
    const auto it = m_toCurrent.find(comparison);
    return it == m_toCurrent.end() ? nullptr : it->second;
}

const BookNode* ChartPairing::comparisonFor(const BookNode* current) const {
    const auto it = m_toComparison.find(current);
    return it == m_toComparison.end() ? nullptr : it->second;
}

ChartPairing MergeComparisonChart(const BookNode* currentMap, BookNode* comparisonMap,
                                  BookTree& comparisonBook) {
    ChartPairing pairing;
    if (!currentMap || !comparisonMap)
        return pairing;
    pairing.add(currentMap, comparisonMap);
    // Depth-first in child order without recursion; the matches of one node's children are all
    // made before any of their subtrees is merged, which changes nothing since each merge only
    // touches its own comparison subtree.
    std::vector<std::pair<const BookNode*, BookNode*>> pending{{currentMap, comparisonMap}};
    std::vector<std::pair<const BookNode*, BookNode*>> matched;
    while (!pending.empty()) {
        const auto [current, comparison] = pending.back();
        pending.pop_back();
        matched.clear();
        int last = -1;
        for (const BookNode* c : current->children()) {
            const std::string_view text = c->text();
            BookNode* f = FindByTextPrefix(comparison, text);
            if (!f) {
                const std::string_view prefix = NumberPrefix(text);
                if (!prefix.empty()) {
                    f = FindByNumberPrefix(comparison, prefix);
                    if (f)
                        comparisonBook.setText(f, text);
                }
            }
            if (!f) {
                BookNode* next = comparison->child(last + 1);
                f = next ? comparisonBook.insertBefore(next, text)
                         : comparisonBook.addLast(comparison, text);
            }
            last = f->index();
            pairing.add(c, f);
            matched.emplace_back(c, f);
        }
        pending.insert(pending.end(), matched.rbegin(), matched.rend());
    }
    return pairing;
}

Cents SumPostings(std::span<const LedgerEntry> entries) {
    Cents sum = 0;
    for (const LedgerEntry& e : entries)
        sum += e.cents;
    return sum;
}

SectionSums BuildStatementSection(const BookNode* top, SectionState& state, ReportLines& lines) {
    if (!top || !top->hasChildren())
        return {};
    // One frame per node whose children are being listed; depth counts from the top.
    struct Frame {
        const BookNode* node;
        int depth;
        int next;
        SectionSums sums;
    };
    std::vector<Frame> frames{{top, 0, 0, {}}};
    while (true) {
        Frame& frame = frames.back();
        if (frame.next < frame.node->childCount()) {
            const BookNode* child = frame.node->child(frame.next++);
            const int depth = frame.depth + 1;
            if (IsAccountText(child))
                AddChildLine(child, depth, frame.sums, state, lines);
            if (child->hasChildren())
                frames.push_back({child, depth, 0, {}});
            continue;
        }
        FinishNode(frame.node, frame.depth, frame.sums, state, lines);
        const SectionSums sums = frame.sums;
        frames.pop_back();
        if (frames.empty())
            return sums;
        frames.back().sums.sum += sums.sum;
        frames.back().sums.comparisonSum += sums.comparisonSum;
    }
}

void BuildStatements(const StatementContext& context, bool negate, StatementPages& pages) {
    pages.periodResult = 0;
    pages.markedSum = 0;
    pages.balanceDifference = 0;
    pages.income.clear();
    pages.balance.clear();
    if (!context.index)
        return;
    const AccountIndex& index = *context.index;
    const BookNode* currentMap = index.accountMap();
    BookNode* comparisonMap =
        context.comparisonIndex ? context.comparisonIndex->accountMap() : nullptr;
    ChartPairing pairing;
    const bool canCompare =
        context.comparison && context.comparisonBook && currentMap && comparisonMap;
    if (canCompare)
        pairing = MergeComparisonChart(currentMap, comparisonMap, *context.comparisonBook);
    if (!index.fiscalYear())
        return;
    const bool comparison = canCompare && comparisonMap->childCount() >= 3;

    const std::string subtitle = Subtitle(context);
    HeaderSource header{index.fiscalYear(), comparison,
                        comparison ? context.comparisonIndex->fiscalYear() : nullptr};
    AddReportHeader("Tuloslaskelma " + subtitle + " ", header, pages.income);
    AddReportHeader("Tase " + subtitle + " ", header, pages.balance);
    if (!currentMap || currentMap->childCount() < 3)
        return;

    SectionState state;
    state.index = &index;
    if (comparison) {
        state.comparisonIndex = context.comparisonIndex;
        state.pairing = &pairing;
    }
    // The three top headings of the open book, and what the walk goes through for each.
    auto walked = [&](int i) -> const BookNode* {
        const BookNode* top = currentMap->child(i);
        if (!comparison)
            return top;
        const BookNode* partner = pairing.comparisonFor(top);
        return partner ? partner : comparisonMap->child(i);
    };

    pages.income.emplace_back(kKeywords[KwResult]);
    pages.income.emplace_back();
    state.negate = negate;
    const SectionSums income = BuildStatementSection(walked(2), state, pages.income);

    pages.balance.emplace_back(kKeywords[KwAssets]);
    pages.balance.emplace_back();
    state.negate = false;
    const SectionSums assets = BuildStatementSection(walked(0), state, pages.balance);

    pages.balance.emplace_back(kKeywords[KwLiabilities]);
    pages.balance.emplace_back();
    state.negate = negate;
    ScanMarkedAccount(walked(1), state);
    state.periodResult = income.sum + state.markedSum;
    if (comparison)
        state.comparisonPeriodResult = income.comparisonSum + state.comparisonMarkedSum;
    const SectionSums liabilities = BuildStatementSection(walked(1), state, pages.balance);

    pages.periodResult = state.periodResult;
    pages.markedSum = state.markedSum;
    // Raw signed sums whatever the sign shown: assets and liabilities cancel out when the
    // balance sheet balances without the period result.
    pages.balanceDifference = assets.sum + (liabilities.sum - state.periodResult);
}

ReportFilter ApplyFilterBox(FilterBox& box) {
    box.text = std::string(TrimControl(box.text));
    if (box.text.empty())
        box.checked = false;
    ReportFilter filter;
    filter.on = box.checked;
    filter.text = box.text;
    filter.heading = box.heading;
    return filter;
}

} // namespace kp
