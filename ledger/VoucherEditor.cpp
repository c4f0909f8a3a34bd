// The voucher editor: number, date, description and a grid of lines with an account chooser,
// posted into the book on OK.
#include "ledger/VoucherEditor.h"

#include "book/BookQueries.h"
#include "book/Collation.h"
#include "ledger/VatSplit.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace kp {
namespace {

bool IsDigitChar(char c) {
    return c >= '0' && c <= '9';
}

// A voucher number as the journal shows it between brackets; -1 when it is no number.
int IntOrMinusOne(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return -1;
    return value;
}

// Number and date of a journal voucher text "[12] 05.01.2020: ...".
struct VoucherHeader {
    int number = -1;
    std::string date;
    int cursor = 1;
};

VoucherHeader ReadVoucherHeader(std::string_view text) {
    VoucherHeader header;
    header.number = IntOrMinusOne(ExtractField(text, '[', ']', header.cursor));
    header.date = ExtractField(text, ' ', ':', header.cursor);
    return header;
}

std::string Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

} // namespace

VoucherEditor::VoucherEditor(Context context)
    : m_context(std::move(context)), m_accounts(*m_context.accounts) {
    resetGrid(2);
}

JournalSource VoucherEditor::source() const {
    return {m_accounts, m_accounts.events(), m_context.periods};
}

std::string VoucherEditor::tooLargeMessage(std::string_view cellText) {
    return "Summa " + std::string(cellText) +
           " on liian suuri: yhden rivin summa voi olla enint\xE4\xE4n " +
           CentsToText(kMaxLineCents) + ".";
}

// --- opening -------------------------------------------------------------------------------

bool VoucherEditor::showBox() {
    if (m_visible) {
        m_visible = false;
        return false;
    }
    m_visible = true;
    return true;
}

void VoucherEditor::newVoucher(bool copy, const BookNode* selected) {
    m_editedEvent = nullptr;
    int next = 0;
    const BookNode* root = m_context.journal->root();
    if (root && root->hasChildren()) {
        const VoucherHeader header =
            ReadVoucherHeader(m_context.journal->shownText(root->child(root->childCount() - 1)));
        next = header.number + 1;
        m_date.setText(header.date);
    }
    // A copy needs a voucher to copy; the root or nothing selected make a new voucher.
    if (copy && selected && selected->parent()) {
        editVoucher(selected);
        m_number = std::to_string(next);
        m_editedEvent = nullptr;
        return;
    }
    showBox();
    m_caption = kNewCaption;
    m_number = std::to_string(next);
    m_description.clear();
    resetGrid(2);
    m_lineCount = 0;
    prepareEditor(true);
}

void VoucherEditor::editVoucher(const BookNode* selected) {
    if (!selected)
        return;
    // The journal root is no voucher: editing it would post into nothing, so it starts a new
    // voucher instead.
    if (!selected->parent()) {
        newVoucher(false, nullptr);
        return;
    }
    while (selected->level() > 1)
        selected = selected->parent();
    showBox();
    m_caption = kEditCaption;
    loadVoucher(selected);
}

bool VoucherEditor::loadVoucher(const BookNode* voucher) {
    m_context.journal->makeLines(voucher);
    const VoucherHeader header = ReadVoucherHeader(voucher->text());
    if (header.number < 0 || header.date.size() != 10)
        return false;
    m_editedEvent = voucher->reference();
    m_number = std::to_string(header.number);
    m_date.setText(header.date);
    int cursor = header.cursor;
    m_description = Trimmed(ExtractField(voucher->text(), '-', '\0', cursor));

    resetGrid(2);
    const int count = voucher->childCount();
    for (int i = 0; i < count; ++i) {
        const std::string_view text = voucher->child(i)->text();
        ensureRows(i + 3);
        const Cents c = MoneyToCents(text);
        if (c < 0)
            cellRef(2, i + 1) = CentsToText(-c);
        else
            cellRef(1, i + 1) = CentsToText(c);
        int at = 1;
        ExtractField(text, '\0', ' ', at);
        const std::string word = ExtractField(text, ' ', ' ', at);
        cellRef(0, i + 1) = m_accounts.lookupAccount(word);
    }
    m_lineCount = count;
    prepareEditor(false);
    return true;
}

void VoucherEditor::prepareEditor(bool newMode) {
    m_status.clear();
    m_splitRow = 0;
    recomputeTotals();
    m_selectionSuppressed = true;
    m_col = 0;
    m_row = 1;
    m_editing = false;
    openChooser(1);
    m_selectionSuppressed = false;
    const BookNode* root = m_context.journal->root();
    const int vouchers = root ? root->childCount() : 0;
    m_numberEditable = newMode ? vouchers == 0 : vouchers <= 1;
    m_date.setText(m_date.text());
    m_focus = EditorFocus::Date;
    m_opened = snapshot();
}

VoucherEditor::Opened VoucherEditor::snapshot() const {
    Opened opened{m_number, m_date.text(), m_description, {}};
    for (int r = 1; r <= m_lineCount && r < rowCount(); ++r)
        opened.cells.push_back(m_rows[static_cast<size_t>(r)].cells);
    return opened;
}

bool VoucherEditor::hasUnpostedLines() const {
    if (m_lineCount < 1)
        return false;
    const Opened now = snapshot();
    return now.number != m_opened.number || now.date != m_opened.date ||
           now.description != m_opened.description || now.cells != m_opened.cells;
}

bool VoucherEditor::cancelCommand(const std::function<bool(const std::string&)>& askYesNo) {
    if (hasUnpostedLines() && !askYesNo(std::string(kCancelQuestion)))
        return false;
    cancel();
    return true;
}

void VoucherEditor::setFocus(EditorFocus focus) {
    if (focus == m_focus)
        return;
    const EditorFocus before = m_focus;
    m_focus = focus;
    if (before == EditorFocus::Chooser)
        chooserExit();
    else if (before == EditorFocus::Grid)
        gridFocusLost();
    if (focus == EditorFocus::Chooser)
        chooserFocused();
}

void VoucherEditor::numberEnter() {
    m_focus = EditorFocus::Date;
}

void VoucherEditor::dateEnter() {
    m_focus = EditorFocus::Description;
}

BoxKey VoucherEditor::boxKey(EditorKey key, bool control) const {
    if (key == EditorKey::Enter) {
        if (control)
            return BoxKey::Ok;
        const bool onEmptyNewLine = m_focus == EditorFocus::Chooser && m_chooserVisible &&
                                    m_chooserText.empty() && m_chooserRow > m_lineCount;
        return onEmptyNewLine && m_lineCount >= 1 && !m_unbalanced ? BoxKey::Ok : BoxKey::Field;
    }
    if (key == EditorKey::Escape) {
        if (m_focus == EditorFocus::Grid && m_col > 0 && m_row > 0 && m_editing)
            return BoxKey::Field;
        if (m_focus == EditorFocus::Chooser && m_chooserVisible &&
            m_chooserText != cell(0, m_chooserRow))
            return BoxKey::Field;
        return BoxKey::Cancel;
    }
    return BoxKey::Field;
}

void VoucherEditor::descriptionEnter() {
    m_focus = EditorFocus::Grid;
    uusiCell(0, 1);
    m_col = 0;
    m_row = 1;
    m_editing = false;
}

// --- the grid ------------------------------------------------------------------------------

void VoucherEditor::resetGrid(int rows) {
    m_rows.assign(static_cast<size_t>(rows), Row{});
    for (int c = 0; c < kColumns; ++c)
        m_rows[0].cells[static_cast<size_t>(c)] = kHeaders[static_cast<size_t>(c)];
}

void VoucherEditor::ensureRows(int rows) {
    if (rowCount() < rows)
        m_rows.resize(static_cast<size_t>(rows));
}

const std::string& VoucherEditor::cell(int column, int row) const {
    static const std::string kNone;
    if (column < 0 || column >= kColumns || row < 0 || row >= rowCount())
        return kNone;
    return m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
}

std::string& VoucherEditor::cellRef(int column, int row) {
    return m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
}

void VoucherEditor::selectCell(int column, int row) {
    if (column < 0 || column >= kColumns || row < 0 || row >= rowCount())
        return;
    const bool sameCell = column == m_col && row == m_row;
    if (!m_selectionSuppressed)
        uusiCell(column, row);
    m_col = column;
    m_row = row;
    m_editing = false;
    // A gross amount is split when its cell is left, not when the cell is entered again.
    if (sameCell && m_splitRow == row) {
        m_rows[static_cast<size_t>(row)].gross = true;
        m_splitRow = 0;
    }
    splitEnteredLine();
}

void VoucherEditor::uusiCell(int column, int row) {
    if (!m_visible)
        return;
    const int c0 = m_col;
    const int r0 = m_row;
    if (c0 == 0 && r0 > 0 && m_chooserVisible && m_chooserRow == r0) {
        // A chooser left with the cell's own text chose nothing: the cell keeps it, so that a
        // loaded line whose account is unknown (" ???") keeps its number.
        if (m_chooserText != cell(0, r0)) {
            const int i = findAccountEntry(m_chooserText);
            cellRef(0, r0) = i >= 0 ? m_accounts.accounts()[static_cast<size_t>(i)].text : "";
        }
        m_chooserVisible = false;
        m_focus = EditorFocus::Grid;
    }
    if (column == 0 && row > 0) {
        openChooser(row);
        m_focus = EditorFocus::Chooser;
    }
    if (c0 > 0 && r0 > 0) {
        // The cell being left is normalised, not the one being entered.
        const int col = m_col;
        const int rw = m_row;
        m_col = c0;
        m_row = r0;
        normaliseCell();
        m_col = col;
        m_row = rw;
    }
    if (column > 0 && row > 0)
        m_rows[static_cast<size_t>(row)].entry[static_cast<size_t>(column)] =
            MoneyToCents(cell(column, row));
}

void VoucherEditor::normaliseCell() {
    if (m_col < 1 || m_row < 1 || m_row >= rowCount())
        return;
    std::string& text = cellRef(m_col, m_row);
    const Cents c = MoneyToCents(text);
    if (c != 0)
        text = CentsToText(c);
    Row& row = m_rows[static_cast<size_t>(m_row)];
    if (row.gross) {
        row.gross = false;
        m_splitRow = m_row;
    }
    recomputeTotals();
}

void VoucherEditor::markGross(int row) {
    // Lines loaded for editing were split, or not, when they were typed.
    const bool on = m_context.splitVat && m_context.splitVat();
    Row& line = m_rows[static_cast<size_t>(row)];
    line.gross = on && m_editedEvent == nullptr && !line.settled;
}

void VoucherEditor::splitEnteredLine() {
    const int r = m_splitRow;
    m_splitRow = 0;
    if (r < 1 || r > m_lineCount || r >= rowCount())
        return;
    const Cents amount = MoneyToCents(cell(1, r)) - MoneyToCents(cell(2, r));
    const VatSplit split = SplitVatLine(m_accounts, findAccountEntry(cell(0, r)), amount,
                                        ReverseChargeRate(m_accounts));
    m_status = split.message;
    const auto put = [this](int row, const SplitLine& line) {
        cellRef(0, row) = line.account;
        cellRef(1, row) = line.cents >= 0 ? CentsToText(line.cents) : "";
        cellRef(2, row) = line.cents < 0 ? CentsToText(-line.cents) : "";
    };
    for (size_t i = 0; i < split.lines.size(); ++i) {
        const int row = r + static_cast<int>(i);
        if (i > 0) {
            // The tax lines come right below the line they belong to; what was below moves on.
            m_rows.insert(m_rows.begin() + row, Row{});
            ++m_lineCount;
            if (m_row >= row)
                ++m_row;
            if (m_chooserRow >= row)
                ++m_chooserRow;
        }
        put(row, split.lines[i]);
        m_rows[static_cast<size_t>(row)].settled = true;
    }
    recomputeTotals();
}

void VoucherEditor::recomputeTotals() {
    Cents debit = 0;
    Cents credit = 0;
    for (int r = 1; r < rowCount(); ++r) {
        debit += MoneyToCents(cell(1, r));
        credit += MoneyToCents(cell(2, r));
    }
    m_debitTotal = debit;
    m_difference = credit - debit;
    m_unbalanced = debit != credit;
}

bool VoucherEditor::gridType(char c) {
    const int r = m_row;
    const int col = m_col;
    const int n = m_lineCount;
    if (r < 1 || r > n + 1 || (col > 0 && r > n))
        return false;
    if (col == 0) {
        // The account column is typed into through the chooser.
        if (!m_chooserVisible || m_chooserRow != r)
            openChooser(r);
        m_focus = EditorFocus::Chooser;
        chooserType(c);
        return true;
    }
    const auto byte = static_cast<unsigned char>(c);
    if (IsDigitChar(c) || c == ',') {
        cellRef(3 - col, r).clear();
    } else if (byte >= 32) {
        return false;
    }
    std::string& text = cellRef(col, r);
    if (c == '\b') {
        if (!m_editing)
            text.clear();
        else if (!text.empty())
            text.pop_back();
    } else if (byte >= 32) {
        if (!m_editing)
            text.clear();
        text += c;
    } else {
        return false;
    }
    m_editing = true;
    markGross(r);
    return true;
}

void VoucherEditor::gridKey(EditorKey key) {
    const int r = m_row;
    const int c = m_col;
    switch (key) {
    case EditorKey::Enter:
        if (r <= m_lineCount && m_lineCount < rowCount() - 1)
            selectCell(0, m_lineCount + 1);
        normaliseCell();
        splitEnteredLine();
        break;
    case EditorKey::Escape:
        if (c > 0 && r > 0) {
            const Cents entry = m_rows[static_cast<size_t>(r)].entry[static_cast<size_t>(c)];
            if (entry != 0)
                cellRef(c, r) = CentsToText(entry);
            m_editing = false;
        }
        break;
    case EditorKey::Left:
        if (c > 0)
            selectCell(c - 1, r);
        break;
    case EditorKey::Right:
    case EditorKey::Tab:
        if (c + 1 < kColumns)
            selectCell(c + 1, r);
        else if (key == EditorKey::Tab && r + 1 < rowCount())
            selectCell(0, r + 1);
        break;
    case EditorKey::Up:
        if (r > 1)
            selectCell(c, r - 1);
        break;
    case EditorKey::Down:
        if (r + 1 < rowCount())
            selectCell(c, r + 1);
        break;
    case EditorKey::Other:
        break;
    }
}

bool VoucherEditor::rowMenuAt(int row) {
    if (row < 0 || row >= rowCount())
        return false;
    selectCell(1, m_row);
    m_selectionSuppressed = true;
    selectCell(1, row);
    m_selectionSuppressed = false;
    return true;
}

void VoucherEditor::deleteRow() {
    const int r = m_row;
    if (r < 1 || r > m_lineCount || r + 1 >= rowCount())
        return;
    --m_lineCount;
    m_rows.erase(m_rows.begin() + r);
    if (m_chooserVisible && m_chooserRow > r)
        --m_chooserRow;
    recomputeTotals();
}

void VoucherEditor::insertRow() {
    const int r = m_row;
    if (r < 1 || r > m_lineCount || r + 1 >= rowCount())
        return;
    ++m_lineCount;
    m_rows.insert(m_rows.begin() + r, Row{});
    recomputeTotals();
}

void VoucherEditor::rowUp() {
    const int r = m_row;
    if (r <= 1 || r > m_lineCount)
        return;
    std::swap(m_rows[static_cast<size_t>(r - 1)], m_rows[static_cast<size_t>(r)]);
}

void VoucherEditor::rowDown() {
    const int r = m_row;
    if (r < 1 || r >= m_lineCount || r + 1 >= rowCount())
        return;
    std::swap(m_rows[static_cast<size_t>(r)], m_rows[static_cast<size_t>(r + 1)]);
}

// --- the account chooser -------------------------------------------------------------------

void VoucherEditor::openChooser(int row) {
    m_chooserRow = row;
    m_chooserText = cell(0, row);
    m_chooserSelStart = 0;
    m_chooserSelLength = static_cast<int>(m_chooserText.size());
    m_chooserVisible = true;
}

int VoucherEditor::findAccountEntry(std::string_view key) const {
    const std::vector<AccountEntry>& accounts = m_accounts.accounts();
    return FindByPrefix(static_cast<int>(accounts.size()), key, [&](int k) -> std::string_view {
        return accounts[static_cast<size_t>(k)].text;
    });
}

bool VoucherEditor::searchesAccounts() const {
    return !m_chooserText.empty() && IsDigitChar(m_chooserText.front());
}

const std::string& VoucherEditor::searchEntry(int i) const {
    return searchesAccounts() ? m_accounts.accounts()[static_cast<size_t>(i)].text
                              : m_accounts.names()[static_cast<size_t>(i)];
}

// The first entry in list order with the key as prefix, so that typing 30 proposes 3000
// rather than whichever account with that prefix the binary search met first.
int VoucherEditor::searchChooser(std::string_view key) const {
    const int count = static_cast<int>(searchesAccounts() ? m_accounts.accounts().size()
                                                          : m_accounts.names().size());
    auto textOf = [&](int i) -> std::string_view { return searchEntry(i); };
    int i = FindByPrefix(count, key, textOf);
    while (i > 0 && ComparePrefix(textOf(i - 1), key) == 0)
        --i;
    return i;
}

void VoucherEditor::chooserKeyUp(bool backspace) {
    if (m_chooserText.empty())
        return;
    int a = m_chooserSelStart;
    if (backspace && a > 0)
        --a;
    int i = searchChooser(m_chooserText);
    if (i < 0)
        i = searchChooser(std::string_view(m_chooserText).substr(0, static_cast<size_t>(a)));
    if (i >= 0)
        m_chooserText = searchEntry(i);
    else if (a > 0)
        --a;
    a = std::min(a, static_cast<int>(m_chooserText.size()));
    m_chooserSelStart = a;
    m_chooserSelLength = static_cast<int>(m_chooserText.size()) - a;
}

void VoucherEditor::chooserType(char c) {
    if (!m_chooserVisible)
        return;
    if (c == '\t' || c == '\r') {
        chooserExit();
        return;
    }
    if (c == '\x1b') {
        chooserKey(EditorKey::Escape);
        return;
    }
    const auto start = static_cast<size_t>(m_chooserSelStart);
    const auto length = static_cast<size_t>(m_chooserSelLength);
    if (c == '\b') {
        if (length > 0) {
            m_chooserText.erase(start, length);
        } else if (start > 0) {
            m_chooserText.erase(start - 1, 1);
            --m_chooserSelStart;
        }
    } else if (static_cast<unsigned char>(c) >= 32) {
        m_chooserText.replace(start, length, 1, c);
        ++m_chooserSelStart;
    } else {
        return;
    }
    m_chooserSelLength = 0;
    chooserKeyUp(c == '\b');
}

void VoucherEditor::chooserKey(EditorKey key) {
    if (!m_chooserVisible)
        return;
    const int length = static_cast<int>(m_chooserText.size());
    switch (key) {
    case EditorKey::Enter:
    case EditorKey::Tab:
        chooserExit();
        return;
    case EditorKey::Escape:
        m_chooserText = cell(0, m_row);
        m_chooserSelStart = 0;
        m_chooserSelLength = static_cast<int>(m_chooserText.size());
        return;
    case EditorKey::Left:
        // The proposed tail is dropped and the caret moves; the search then selects again
        // from the caret.
        m_chooserSelLength = 0;
        m_chooserSelStart = std::max(0, m_chooserSelStart - 1);
        break;
    case EditorKey::Right:
        m_chooserSelLength = 0;
        m_chooserSelStart = std::min(length, m_chooserSelStart + 1);
        break;
    case EditorKey::Up:
    case EditorKey::Down:
    case EditorKey::Other:
        break;
    }
    chooserKeyUp(false);
}

void VoucherEditor::setChooserText(std::string text) {
    if (!m_chooserVisible)
        return;
    m_chooserText = std::move(text);
    m_chooserSelStart = static_cast<int>(m_chooserText.size());
    m_chooserSelLength = 0;
    chooserKeyUp(false);
}

std::vector<std::string> VoucherEditor::dropDownItems() const {
    std::vector<std::string> items;
    const int a = m_chooserSelStart;
    if (a == 0 || m_chooserText.empty()) {
        items.reserve(m_accounts.accounts().size());
        for (const AccountEntry& entry : m_accounts.accounts())
            items.push_back(entry.text);
        return items;
    }
    const std::string_view typed = std::string_view(m_chooserText).substr(0, size_t(a));
    const size_t count =
        searchesAccounts() ? m_accounts.accounts().size() : m_accounts.names().size();
    for (size_t i = 0; i < count; ++i) {
        const std::string& text = searchEntry(static_cast<int>(i));
        if (std::string_view(text).substr(0, typed.size()) == typed)
            items.push_back(text);
    }
    return items;
}

void VoucherEditor::chooserFocused() {
    m_focus = EditorFocus::Chooser;
    if (m_chooserVisible && (m_col != 0 || m_row != m_chooserRow))
        selectCell(0, m_chooserRow);
}

void VoucherEditor::chooserExit() {
    if (m_committing || !m_chooserVisible)
        return;
    if (m_chooserText.empty()) {
        deleteRow();
        m_chooserText = cell(0, m_row);
        return;
    }
    m_committing = true;
    int i = -1;
    if (IsDigitChar(m_chooserText.front())) {
        i = findAccountEntry(m_chooserText);
    } else {
        // A name entry "Kassa 1910" resolves through the number at its end.
        size_t start = m_chooserText.size();
        while (start > 0 && IsDigitChar(m_chooserText[start - 1]))
            --start;
        i = findAccountEntry(std::string_view(m_chooserText).substr(start));
    }
    if (i < 0) {
        m_committing = false;
        return;
    }
    const std::string& entry = m_accounts.accounts()[static_cast<size_t>(i)].text;
    m_chooserText = entry;
    const int r = m_row;
    if (r > m_lineCount)
        m_lineCount = r;
    ensureRows(m_lineCount + 2);

    Cents p = m_difference;
    if (entry.size() >= 6 && entry[5] == '@' && m_context.periodResult)
        p = -m_context.periodResult();
    selectCell(p < 0 ? 2 : 1, r);
    m_focus = EditorFocus::Grid;
    if (p != 0 && cell(1, m_row).empty() && cell(2, m_row).empty()) {
        cellRef(m_col, m_row) = CentsToText(p < 0 ? -p : p);
        markGross(m_row);
        recomputeTotals();
    }
    if (m_row > m_lineCount)
        m_lineCount = m_row;
    m_committing = false;
}

void VoucherEditor::enterLine(int accountEntry, Cents amount) {
    if (accountEntry < 0 || accountEntry >= static_cast<int>(m_accounts.accounts().size()))
        return;
    m_focus = EditorFocus::Grid;
    selectCell(0, m_lineCount + 1);
    setChooserText(m_accounts.accounts()[static_cast<size_t>(accountEntry)].text);
    chooserExit();
    selectCell(amount < 0 ? 2 : 1, m_row);
    for (const char c : CentsToText(amount < 0 ? -amount : amount))
        gridType(c);
    gridKey(EditorKey::Enter);
}

// --- OK ------------------------------------------------------------------------------------

VoucherOk VoucherEditor::ok(const std::function<bool(const std::string&)>& askOkCancel,
                            const std::function<void(const std::string&)>& error) {
    // The chooser commits first, as it does when the focus leaves it for the button.
    if (m_chooserVisible && m_focus == EditorFocus::Chooser)
        chooserExit();
    if (m_lineCount < 1) {
        m_visible = false;
        return VoucherOk::Closed;
    }
    normaliseCell();
    splitEnteredLine();
    // One line holds a 32-bit cent count: a larger amount would be stored wrong.
    for (int r = 1; r <= m_lineCount && r < rowCount(); ++r) {
        for (int c = 1; c < kColumns; ++c) {
            if (!FitsLineCents(MoneyToCents(cell(c, r)))) {
                selectCell(c, r);
                m_focus = EditorFocus::Grid;
                error(tooLargeMessage(cell(c, r)));
                return VoucherOk::StayOpen;
            }
        }
    }
    if (m_unbalanced &&
        !askOkCancel("Summien ero " + differenceText() + "\r Hyv\xE4ksyt\xE4\xE4nk\xF6?"))
        return VoucherOk::StayOpen;
    m_visible = false;
    postVoucher();
    return VoucherOk::Posted;
}

void VoucherEditor::postVoucher() {
    BookNode* events = m_accounts.events();
    BookTree& book = *m_context.book;
    JournalView& journal = *m_context.journal;
    if (!events)
        return;
    const bool isNew = m_editedEvent == nullptr;
    const std::string eventText = std::string(kKeywords[KwEvent]) + " " + m_number;
    BookNode* event = m_editedEvent;
    BookNode* voucherNode = nullptr;
    if (isNew) {
        event = book.addLast(events, eventText);
    } else {
        // The event may have gone since the editor opened (the book was emptied or the
        // voucher deleted); then it is posted as a new voucher rather than into a freed node.
        if (event->parent() != events) { // forgetBook() keeps this from a freed node
            event = book.addLast(events, eventText);
        } else {
            book.setText(event, eventText);
            book.removeChildren(event);
        }
        const BookNode* root = journal.root();
        if (root) {
            for (BookNode* v : root->children()) {
                if (v->reference() == event) {
                    voucherNode = v;
                    break;
                }
            }
        }
    }
    if (m_lineCount >= 1) {
        book.addLast(event,
                     std::string(kKeywords[KwDate]) + " " + DisplayDateToNode(m_date.text()));
        book.addLast(event, "\"" + m_description + "\"");
        BookNode* lines = book.addLast(event, "");
        for (int r = 1; r <= m_lineCount && r < rowCount(); ++r) {
            const std::string& account = cell(0, r);
            BookNode* line = book.addLast(
                lines, std::string_view(account).substr(0, size_t(LeadingDigits(account))));
            Cents c = MoneyToCents(cell(1, r) + cell(2, r));
            if (cell(2, r).size() > 2)
                c = -c;
            book.addLast(line, std::string(kKeywords[KwMoney]) + " " + std::to_string(c));
        }
    }
    journal.buildVoucherNode(event, voucherNode, source());
    m_editedEvent = nullptr;
    if (isNew)
        newVoucher(false, nullptr);
}

} // namespace kp
