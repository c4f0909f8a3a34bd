// The chart page's commands: the account editor box "Tili", deleting, the context menu and
// moving lines by drag and drop.
#include "ledger/AccountEditor.h"

#include "book/BookQueries.h"
#include "book/TextHelpers.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace kp {
namespace {

constexpr std::string_view kAccount = kKeywords[KwAccount];
constexpr std::string_view kAccountMap = kKeywords[KwAccountMap];
constexpr std::string_view kEvent = kKeywords[KwEvent];
constexpr std::string_view kVat = "vat";

// The number of an account node's text: above 0 for an account, 0 or less for a heading.
std::int32_t AccountNumber(const BookNode& node) {
    int cursor = static_cast<int>(kAccount.size());
    return ScanNumber(node.text(), cursor);
}

// A line that shows an account (not a heading, the root or a VAT line).
bool IsAccountLine(const BookNode& line) {
    return line.reference() && AccountNumber(*line.reference()) > 0;
}

bool IsAccountMap(const BookNode& node) {
    return node.startsWith(kAccountMap);
}

bool HasRate(int vatClass) {
    return vatClass > 0 && vatClass < kVatClassCount &&
           kVatCodes[static_cast<size_t>(vatClass)].hasRate;
}

// A rate as the rate field takes it: whole percents with at most two decimals, "24", "25,5".
bool IsRateText(std::string_view text) {
    const size_t comma = text.find_first_of(",.");
    const std::string_view whole = text.substr(0, comma);
    const std::string_view decimals =
        comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    auto digits = [](std::string_view run) {
        return run.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return !whole.empty() && digits(whole) && digits(decimals) && decimals.size() <= 2 &&
           (comma == std::string_view::npos || !decimals.empty());
}

// Whether the node is one of the tree's. Found by walking the tree and comparing addresses, so
// that a node that has been deleted meanwhile is never looked into.
bool Contains(const BookTree& tree, const BookNode* node) {
    if (!node)
        return false;
    for (const BookNode* n = tree.first(); n; n = tree.next(n))
        if (n == node)
            return true;
    return false;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// Whether any account in the subtree of top has a posting in any voucher of the book. The
// account index is not asked for its entry lists: while the voucher filter is on they hold only
// the vouchers that pass it. A voucher line counts for an account when its number is the
// account's own, or when the account list leads the number to it (as the ledger does for a
// number that only begins an account's number).
bool HasPostings(const BookTree& book, const AccountIndex& index, const BookNode* top) {
    std::unordered_set<const BookNode*> subtree;
    std::unordered_set<std::int32_t> numbers;
    for (const BookNode* n = top; n && book.isInSubtree(n, top); n = book.next(n)) {
        subtree.insert(n);
        if (n->startsWith(kAccount)) {
            const std::int32_t number = AccountNumber(*n);
            if (number > 0)
                numbers.insert(number);
        }
    }
    const std::vector<AccountEntry>& accounts = index.accounts();
    std::unordered_map<std::int32_t, bool> inSubtree; // per line number, looked up once
    for (const BookNode* n = book.first(); n; n = book.next(n)) {
        if (n->text().size() < 5 || !n->startsWith(kEvent) || n->childCount() < 2)
            continue;
        // The lines container is the voucher's last child, as the journal reads it.
        for (const BookNode* line : n->child(n->childCount() - 1)->children()) {
            const std::string_view digits =
                line->text().substr(0, static_cast<size_t>(LeadingDigits(line->text())));
            int cursor = 1;
            const std::int32_t number = ScanNumber(digits, cursor);
            if (number <= 0)
                continue;
            auto known = inSubtree.find(number);
            if (known == inSubtree.end()) {
                bool hit = numbers.count(number) > 0;
                if (!hit) {
                    // The index's nodes are compared by address only: after an earlier
                    // deletion the index may still list a node that is gone.
                    const int i = index.findAccount(digits);
                    hit = i >= 0 && subtree.count(accounts[static_cast<size_t>(i)].node) > 0;
                }
                known = inSubtree.emplace(number, hit).first;
            }
            if (known->second)
                return true;
        }
    }
    return false;
}

} // namespace

// --- the editor ------------------------------------------------------------------------

void AccountEditor::forgetBook() {
    m_visible = false;
    m_editedLine = nullptr;
    m_editedNode = nullptr;
}

void AccountEditor::setVatClass(int vatClass) {
    m_vatClass = vatClass >= 0 && vatClass < kVatClassCount ? vatClass : 0;
    m_rateEnabled = HasRate(m_vatClass);
    if (!m_rateEnabled)
        m_rate.clear();
}

void AccountEditor::setRateText(std::string_view text) {
    if (!m_rateEnabled)
        return;
    m_rate.assign(text.substr(0, static_cast<size_t>(kRateMaxLength)));
}

void AccountEditor::open(BookNode* line) {
    m_editedLine = line;
    m_editedNode = line->reference();
    // The form's toggle: a second request while the box is shown closes it.
    m_visible = !m_visible;
}

void AccountEditor::openOnLine(BookNode* selected, const VatTexts& vatTexts) {
    if (!selected)
        return;
    m_newSubAccount = false;
    BookNode* line = selected;
    // A VAT line has no node of its own; it stands for its account.
    if (!line->reference() && line->parent() && IsAccountLine(*line->parent()))
        line = line->parent();
    open(line);
    m_caption.assign(kEditCaption);

    const std::string_view text = line->text();
    m_number.clear();
    // Only an account line begins with its number: a heading whose name holds digits
    // ("Lainat yli 5 v") keeps its whole name and stays a heading.
    if (IsAccountLine(*line)) {
        int cursor = 1;
        const std::int32_t number = ScanNumber(text, cursor);
        if (number > 0)
            m_number = std::to_string(number);
    }

    // The class comes from the VAT line, the first child line without a node of its own; a
    // first sub-account or sub-heading line says nothing about the account's class.
    int vatClass = 0;
    const BookNode* vatLine = line->child(0);
    if (vatLine && !vatLine->reference())
        vatClass = FindVatClass(vatLine->text(), vatTexts);
    setVatClass(vatClass);
    if (m_rateEnabled) {
        // The rate is the word after the class's text on the VAT line ("Myynti 24,00").
        int cursor = static_cast<int>(vatTexts[static_cast<size_t>(vatClass)].size());
        m_rate = ExtractField(vatLine->text(), ' ', ' ', cursor);
        m_rate.resize(std::min(m_rate.size(), static_cast<size_t>(kRateMaxLength)));
    }

    if (!m_number.empty()) {
        int cursor = static_cast<int>(m_number.size());
        m_name = ExtractField(text, ' ', '\0', cursor);
    } else {
        m_name.assign(text);
    }
}

void AccountEditor::openNewSubAccount(BookNode* selected) {
    if (!selected)
        return;
    m_newSubAccount = true;
    m_caption.assign(kNewCaption).append(selected->text());
    m_number.clear();
    m_name.clear();
    setVatClass(0);
    open(selected);
}

BookNode* AccountEditor::resolveEditedLine(const BookTree& book, const ChartView& chart) const {
    if (!m_editedLine || !m_editedNode || !Contains(book, m_editedNode))
        return nullptr;
    if (Contains(chart.tree(), m_editedLine) && m_editedLine->reference() == m_editedNode)
        return m_editedLine;
    // The chart has been rebuilt since the box opened: the line that shows the node now.
    for (BookNode* n = chart.tree().first(); n; n = chart.tree().next(n))
        if (n->reference() == m_editedNode)
            return n;
    return nullptr;
}

ChartEditResult AccountEditor::ok(BookTree& book, ChartView& chart, const AccountIndex& index,
                                  const VatTexts& vatTexts) {
    ChartEditResult result;
    const std::string_view numberText = TrimBlanks(m_number);
    // Digits only: anything else used to be read as 0 and silently made the line a heading.
    if (numberText.size() > 9 ||
        numberText.find_first_not_of("0123456789") != std::string_view::npos) {
        result.message.assign(kNumberNotDigits);
        result.field = ChartField::Number;
        return result;
    }
    const std::int32_t number = ConvertRun(numberText);
    if (number > 0 && HasRate(m_vatClass) && !IsRateText(TrimBlanks(m_rate))) {
        result.message.assign(kRateNeeded);
        result.field = ChartField::Rate;
        return result;
    }
    if (number > 0) {
        // The account being edited is in the list with its own number; only another account
        // with that number refuses it. Nodes are compared by address and never looked into.
        const BookNode* own = m_newSubAccount ? nullptr : m_editedNode;
        for (const AccountEntry& entry : index.accounts()) {
            if (NumberAt(entry.text, 1) == number && entry.node != own) {
                result.message.assign(kDuplicateNumberStart)
                    .append(std::to_string(number))
                    .append(kDuplicateNumberEnd);
                result.field = ChartField::Number;
                return result;
            }
        }
    }
    m_visible = false;

    BookNode* line = resolveEditedLine(book, chart);
    m_editedLine = line; // the line as the chart has it now, or none
    BookNode* target = line ? line->reference() : nullptr;
    if (!target)
        return result;
    // The root line shows the account map itself: rewriting its text would lose the whole
    // chart of accounts. New headings and accounts may still be made under it.
    if (!m_newSubAccount && IsAccountMap(*target))
        return result;

    BookTree& view = chart.tree();
    if (m_newSubAccount) {
        BookNode* group = target->child(0);
        if (!group || !group->text().empty())
            group = book.addLast(target, "");
        target = book.addLast(group, "");
        line = view.addLast(line, "");
        m_editedLine = line;
        m_editedNode = target;
    }

    std::string text;
    text.append(kAccount).append(" ").append(std::to_string(number));
    text.append(" \"").append(m_name).append("\"");
    book.setText(target, text);
    if (!target->hasChildren())
        book.addLast(target, "");

    if (number > 0) {
        // The old VAT node goes. A further group node after the first (a heading may have
        // gathered one through "Uusi alatili") stays: deleting it would take its accounts and
        // their postings with it.
        for (int i = target->childCount() - 1; i >= 1; --i)
            if (target->child(i)->startsWith(kVat))
                book.remove(target->child(i));
        if (m_vatClass > 0) {
            std::string vat(kVat);
            vat.append(" ").append(kVatCodes[static_cast<size_t>(m_vatClass)].code);
            if (HasRate(m_vatClass))
                vat.append(" ").append(std::to_string(MoneyToCents(TrimBlanks(m_rate))));
            // Second child, where the chart and the VAT report look for it.
            if (BookNode* second = target->child(1))
                book.insertBefore(second, vat);
            else
                book.addLast(target, vat);
        }
    }

    // setChartLine renews only the VAT line: the sub-account lines of an edited account stay
    // visible, as its sub-accounts stay in the book.
    chart.setChartLine(target, line, vatTexts);
    result.bookChanged = true;
    return result;
}

// --- deleting, the context menu, drag and drop -------------------------------------------

std::string DeleteChartLineQuestion(const BookNode& line) {
    const BookNode* node = line.reference();
    const bool account = IsAccountLine(line);
    // Whatever stands in the group node goes with the line.
    const BookNode* group = node ? node->child(0) : nullptr;
    const bool below = group && group->text().empty() && group->hasChildren();
    std::string question(account ? "Poistetaanko tili " : "Poistetaanko otsikko ");
    question.append(line.text());
    if (below)
        question.append(account ? " alatileineen" : " tileineen");
    return question + "?";
}

ChartEditResult DeleteChartLine(BookTree& book, ChartView& chart, const AccountIndex& index,
                                BookNode* line,
                                const std::function<bool(const std::string&)>& confirm) {
    ChartEditResult result;
    if (!line || !line->reference())
        return result;
    BookNode* node = line->reference();
    // The root line is the whole account map.
    if (!line->parent() || IsAccountMap(*node) || !Contains(book, node))
        return result;
    if (HasPostings(book, index, node)) {
        result.message.assign(kAccountHasPostings);
        return result;
    }
    if (confirm && !confirm(DeleteChartLineQuestion(*line)))
        return result;
    book.remove(node);
    chart.tree().remove(line);
    result.bookChanged = true;
    return result;
}

ChartMenuState ChartContextMenu(const BookNode* selected, bool dialogVisible) {
    if (dialogVisible || !selected)
        return {};
    const BookNode* parent = selected->parent();
    if (parent && NumberAt(parent->text(), 1) != 0)
        return {};
    return {true, NumberAt(selected->text(), 1) == 0};
}

bool ChartDropAccepted(const BookNode* targetLine) {
    return targetLine && targetLine->reference();
}

bool MoveChartLine(BookTree& book, ChartView& chart, BookNode* moved, BookNode* target,
                   DropSpot zone) {
    if (!moved || !target || moved == target || zone == DropSpot::Elsewhere)
        return false;
    BookNode* node = moved->reference();
    BookNode* targetNode = target->reference();
    if (!node || !targetNode)
        return false;
    BookTree& view = chart.tree();
    if (view.isInSubtree(target, moved) || book.isInSubtree(targetNode, node))
        return false;
    // The account map stays where it is, and nothing is moved beside it, out of the chart.
    if (!moved->parent() || IsAccountMap(*node))
        return false;
    if (zone == DropSpot::Label) {
        // Only a group node (empty text) takes sub-accounts; a first child that is an account
        // or a VAT node would hide the moved line from the chart and the statements.
        BookNode* group = targetNode->child(0);
        if (!group || !group->text().empty())
            return false;
        view.moveToLastChild(moved, target);
        book.moveToLastChild(node, group);
    } else {
        if (!target->parent() || IsAccountMap(*targetNode))
            return false;
        view.moveBefore(moved, target);
        book.moveBefore(node, targetNode);
    }
    return true;
}

} // namespace kp
