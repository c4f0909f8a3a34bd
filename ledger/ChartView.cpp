// The chart view: the account map as a tree of lines that refer to the account nodes they show.
#include "ledger/ChartView.h"

#include "book/TextHelpers.h"

#include <vector>

namespace kp {
namespace {

constexpr std::string_view kAccount = kKeywords[KwAccount];
constexpr std::string_view kVat = "vat";

// textOf(i) gives item i of a list indexed by VAT class.
template <class TextOf> int FindClass(std::string_view text, TextOf textOf) {
    const size_t digit = text.find_first_of("0123456789");
    std::string_view cut = text.substr(0, digit);
    while (!cut.empty() && cut.back() == ' ')
        cut.remove_suffix(1);
    if (cut.empty())
        return 0;
    // An exact item first: a text that only begins an earlier class's item (a user's VAT text
    // that is the start of another's) still finds its own class.
    for (int i = 1; i < kVatClassCount; ++i)
        if (textOf(i) == cut)
            return i;
    for (int i = 1; i < kVatClassCount; ++i)
        if (textOf(i).substr(0, cut.size()) == cut)
            return i;
    return 0;
}

} // namespace

VatTexts DefaultVatTexts() {
    VatTexts texts;
    for (int i = 0; i < kVatClassCount; ++i)
        texts[static_cast<size_t>(i)] = kVatCodes[static_cast<size_t>(i)].defaultName;
    return texts;
}

int FindVatClass(std::string_view text, const VatTexts& list) {
    return FindClass(text, [&](int i) -> std::string_view { return list[static_cast<size_t>(i)]; });
}

int FindVatClassOfCode(std::string_view code) {
    return FindClass(code, [](int i) { return kVatCodes[static_cast<size_t>(i)].code; });
}

void ChartView::build(BookNode* accountMap, const VatTexts& vatTexts) {
    m_tree.clear();
    if (!accountMap)
        return;
    addChartLines(accountMap, nullptr, vatTexts);
    if (BookNode* first = m_tree.first())
        m_tree.setText(first, kChartRootText);
}

BookNode* ChartView::addChartLines(BookNode* node, BookNode* parentLine, const VatTexts& vatTexts) {
    if (!node)
        return nullptr;
    // Pre-order with an explicit stack, so that a deeply nested map cannot exhaust the stack.
    struct Pending {
        BookNode* node;
        BookNode* parentLine;
    };
    std::vector<Pending> pending{{node, parentLine}};
    BookNode* ownLine = nullptr;
    while (!pending.empty()) {
        auto [current, parent] = pending.back();
        pending.pop_back();
        if (current->text().find(kAccount) != std::string_view::npos) {
            BookNode* line = m_tree.addLast(parent, "");
            setChartLine(current, line, vatTexts);
            if (current == node)
                ownLine = line;
            parent = line;
        }
        const auto& children = current->children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push_back({*it, parent});
    }
    return ownLine;
}

void ChartView::setChartLine(BookNode* account, BookNode* line, const VatTexts& vatTexts) {
    if (!account || !line)
        return;
    const std::string_view text = account->text();
    int cursor = static_cast<int>(kAccount.size());
    const std::int32_t number = ScanNumber(text, cursor);
    int vatClass = 0;
    std::string_view vatText;
    int vatCursor = static_cast<int>(kVat.size()) + 1;
    // Only the old VAT line goes: the sub-account lines stay, as the sub-accounts stay in the
    // book, so an edited account does not hide them until the next rebuild. An account turned
    // into a heading loses its VAT line too, as a rebuild would show it.
    for (int i = line->childCount() - 1; i >= 0; --i)
        if (!line->child(i)->reference())
            m_tree.remove(line->child(i));
    m_text.clear();
    if (number > 0) {
        m_text.append(std::to_string(number)).append(" ");
        if (account->childCount() >= 2 && account->child(1)->startsWith(kVat)) {
            vatText = account->child(1)->text();
            vatClass = FindVatClassOfCode(ExtractField(vatText, ' ', ' ', vatCursor));
        }
    }
    m_text.append(QuotedName(text, cursor));
    m_tree.setText(line, m_text);
    line->setReference(account);
    if (vatClass <= 0)
        return;
    m_text.assign(vatTexts[static_cast<size_t>(vatClass)]);
    if (kVatCodes[static_cast<size_t>(vatClass)].hasRate &&
        vatCursor <= static_cast<int>(vatText.size())) {
        // The rate is kept in hundredths of a percent and shown like an amount: 2400 as 24,00.
        m_text.append(" ").append(CentsToText(ScanNumber(vatText, vatCursor)));
    }
    m_tree.addFirst(line, m_text);
}

ReportLines ChartMapLines(const ChartView& chart) {
    const BookTree& tree = chart.tree();
    ReportLines lines;
    lines.reserve(tree.count());
    for (const BookNode* node = tree.first(); node; node = tree.next(node)) {
        const int level = node->level();
        std::string line(static_cast<size_t>(2 * level), ' ');
        line.append(node->text());
        lines.push_back(std::move(line));
    }
    return lines;
}

ReportLines AccountListLines(const AccountIndex& index) {
    ReportLines lines;
    lines.reserve(index.accounts().size());
    for (const AccountEntry& entry : index.accounts())
        lines.push_back(entry.text);
    return lines;
}

} // namespace kp
