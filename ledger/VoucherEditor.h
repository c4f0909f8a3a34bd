// The voucher editor: number, date, description and a grid of lines with an account chooser,
// posted into the book on OK.
#pragma once

#include "book/BookTree.h"
#include "book/TextHelpers.h"
#include "ledger/AccountIndex.h"
#include "ledger/DateField.h"
#include "ledger/JournalView.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kp {

// Keys the grid and the chooser handle themselves; characters (digits, letters, Backspace as
// '\b') arrive as typed characters.
enum class EditorKey { Enter, Tab, Escape, Left, Right, Up, Down, Other };

// Where the keyboard is inside the editor.
enum class EditorFocus { Number, Date, Description, Grid, Chooser, Elsewhere };

// What OK did.
enum class VoucherOk {
    Closed,   // no lines: the dialog closed and nothing was posted
    Posted,   // posted; for a new voucher the editor is open again for the next one
    StayOpen, // the user did not confirm an unbalanced voucher, or an amount was refused
};

// What a key means to the box as a whole, decided before the field with the focus sees it.
enum class BoxKey {
    Field,  // the field handles it
    Ok,     // the box's OK
    Cancel, // "Peruuta"
};

class VoucherEditor {
  public:
    static constexpr int kColumns = 3;
    static constexpr std::string_view kNewCaption = "Uusi tosite";
    static constexpr std::string_view kEditCaption = "Muokkaa tositetta";
    static constexpr std::array<std::string_view, kColumns> kHeaders = {"Tili", "Debet  ",
                                                                        "Kredit  "};
    // The chooser's drop-down shows at most this many items at once.
    static constexpr int kDropDownRows = 12;

    // What posting and the "@" proposal need from the rest of the program; all of it lives as
    // long as the editor.
    struct Context {
        BookTree* book = nullptr;
        JournalView* journal = nullptr;
        const AccountIndex* accounts = nullptr; // the open book's, with its name list
        PeriodState* periods = nullptr;
        // The period result in signed cents (debits positive), computed afresh when stale.
        std::function<Cents()> periodResult;
        // "Alv-erittely": whether amounts typed on VAT accounts are split; off when not given.
        std::function<bool()> splitVat = nullptr;
    };

    explicit VoucherEditor(Context context);

    // --- opening -------------------------------------------------------------------------
    // "Uusi tosite" (copy false) and "Kopioi uusi tosite" (copy true with the journal's
    // selection). Without a voucher selected, a copy is a new voucher.
    void newVoucher(bool copy, const BookNode* selected);
    // "Muokkaa tositetta" and a double click on the journal: a line stands for its voucher, and
    // the journal root (no voucher) for a new one. Does nothing without a selection.
    void editVoucher(const BookNode* selected);
    // Whether the dialog is shown; the form shows one box at a time and a second request
    // while it is shown closes it (the caller decides through `showBox`).
    bool visible() const { return m_visible; }
    // The form's visibility toggle: returns false (and hides) when it was visible.
    bool showBox();

    // --- fields --------------------------------------------------------------------------
    std::string_view caption() const { return m_caption; }
    const std::string& number() const { return m_number; }
    void setNumber(std::string text) { m_number = std::move(text); }
    bool numberEditable() const { return m_numberEditable; }
    DateField& date() { return m_date; }
    const DateField& date() const { return m_date; }
    const std::string& description() const { return m_description; }
    void setDescription(std::string text) { m_description = std::move(text); }
    // "Ero": credit total minus debit total.
    std::string differenceText() const { return CentsToText(m_difference); }
    Cents difference() const { return m_difference; }
    Cents debitTotal() const { return m_debitTotal; }
    bool unbalanced() const { return m_unbalanced; }
    EditorFocus focus() const { return m_focus; }
    // The caller reports focus changes it made itself (a click on a field).
    void setFocus(EditorFocus focus);
    // The edited voucher's event node in the book; none for a new voucher.
    const BookNode* editedEvent() const { return m_editedEvent; }

    // Enter in a field moves on, so that a voucher is typed from start to end without the
    // mouse: the number to the date, the date to the description, the description to the lines
    // (the chooser open on the first row).
    void numberEnter();
    void dateEnter();
    void descriptionEnter();
    // Ctrl+Enter anywhere is OK, and so is Enter on the empty account cell of the new-line row
    // once the voucher has lines and balances. Esc first undoes what is being typed in an
    // amount cell or the chooser; with nothing to undo it is "Peruuta".
    BoxKey boxKey(EditorKey key, bool control) const;

    // --- the grid ------------------------------------------------------------------------
    int lineCount() const { return m_lineCount; }
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const std::string& cell(int column, int row) const;
    int currentColumn() const { return m_col; }
    int currentRow() const { return m_row; }
    // `EditGrid1SelectCell`: moves the current cell (a click, the arrow keys), entering it.
    void selectCell(int column, int row);
    // A character typed while the grid has the focus (`EditGrid1KeyPress`). Typing starts by
    // replacing the cell's text, as an edit opened over a grid cell does.
    bool gridType(char c);
    void gridKey(EditorKey key);
    // The grid loses the focus (`EditGrid1Exit`).
    void gridFocusLost() {
        normaliseCell();
        splitEnteredLine();
    }
    // Right button on a row (`EditGrid1MouseDown`): true when the row menu opens.
    bool rowMenuAt(int row);
    // The row menu.
    void deleteRow();
    void insertRow();
    void rowUp();
    void rowDown();

    // --- the account chooser -------------------------------------------------------------
    bool chooserVisible() const { return m_chooserVisible; }
    int chooserRow() const { return m_chooserRow; }
    const std::string& chooserText() const { return m_chooserText; }
    int chooserSelectionStart() const { return m_chooserSelStart; }
    int chooserSelectionLength() const { return m_chooserSelLength; }
    // A character typed into the chooser (key down, key press, key up).
    void chooserType(char c);
    void chooserKey(EditorKey key);
    // The text as the user left it after editing it some other way (a paste, a drop-down pick),
    // with the caret at the end; the incremental search runs as after a key.
    void setChooserText(std::string text);
    // `TiliEdit1DropDown`: the items the drop-down lists.
    std::vector<std::string> dropDownItems() const;
    // `TiliEdit1Enter`: the chooser receives the focus.
    void chooserFocused();
    // `TiliEdit1Exit`: the chooser loses the focus (also Tab or Enter in it).
    void chooserExit();

    // --- OK and Peruuta ------------------------------------------------------------------
    // `BitBtn1Click`. askOkCancel puts the "Summien ero" question (Windows-1252 text); error
    // shows why an amount was refused.
    VoucherOk ok(const std::function<bool(const std::string&)>& askOkCancel,
                 const std::function<void(const std::string&)>& error);
    void cancel() { m_visible = false; }
    static constexpr std::string_view kCancelQuestion =
        "Hyl\xE4t\xE4\xE4nk\xF6 tositteen muutokset?";
    // "Peruuta" and Esc: asks askYesNo (Windows-1252 text) first when the voucher has lines
    // that differ from what the box opened with. True when the box closed.
    bool cancelCommand(const std::function<bool(const std::string&)>& askYesNo);
    // The voucher has lines that differ from what the box opened with.
    bool hasUnpostedLines() const;
    // The book's nodes are about to go (another book opened, the book emptied or reshaped):
    // the editor closes and forgets the voucher it was editing.
    void forgetBook() {
        m_visible = false;
        m_editedEvent = nullptr;
    }

    // The status line under the grid: why the last amount on a VAT account was not split
    // (Windows-1252), empty otherwise.
    const std::string& status() const { return m_status; }
    // A whole line as the keyboard enters it on the new-line row: the account entry chosen,
    // the amount (debits positive) typed into its column and Enter; a VAT split applies as to
    // a typed amount. For callers that have the lines already (the command line).
    void enterLine(int accountEntry, Cents amount);

    // The largest amount one line holds, as text, for messages.
    static std::string tooLargeMessage(std::string_view cellText);

  private:
    struct Row {
        std::array<std::string, kColumns> cells;
        std::array<Cents, kColumns> entry{};
        // The amount was typed or proposed on a new voucher and is still gross.
        bool gross = false;
        // The line came out of a split: an amount typed over it stays as typed.
        bool settled = false;
    };
    // What the box opened with, to tell whether closing it throws work away.
    struct Opened {
        std::string number;
        std::string date;
        std::string description;
        std::vector<std::array<std::string, kColumns>> cells;
    };
    Opened snapshot() const;

    void resetGrid(int rows);
    bool loadVoucher(const BookNode* voucher);
    void prepareEditor(bool newMode);
    void uusiCell(int column, int row);
    void normaliseCell();
    void recomputeTotals();
    // Splits the line whose gross amount has just been entered, once the cell is left.
    void splitEnteredLine();
    void markGross(int row);
    void openChooser(int row);
    void chooserKeyUp(bool backspace);
    int searchChooser(std::string_view key) const;
    // Some entry of the account list with the key as prefix, or -1.
    int findAccountEntry(std::string_view key) const;
    const std::string& searchEntry(int i) const;
    bool searchesAccounts() const;
    void ensureRows(int rows);
    void postVoucher();
    JournalSource source() const;
    std::string& cellRef(int column, int row);

    Context m_context;
    const AccountIndex& m_accounts;
    bool m_visible = false;
    std::string_view m_caption = kNewCaption;
    std::string m_number;
    bool m_numberEditable = false;
    DateField m_date = DateField::voucherDate();
    std::string m_description;
    EditorFocus m_focus = EditorFocus::Date;

    std::vector<Row> m_rows; // row 0 is the header
    int m_lineCount = 0;
    int m_col = 0;
    int m_row = 1;
    bool m_editing = false; // the current cell has been typed into since it was entered
    BookNode* m_editedEvent = nullptr;
    Cents m_debitTotal = 0;
    Cents m_difference = 0;
    bool m_unbalanced = false;
    bool m_selectionSuppressed = false;
    bool m_committing = false;
    bool m_chooserVisible = false;
    int m_chooserRow = 1;
    std::string m_chooserText;
    Opened m_opened;
    int m_chooserSelStart = 0;
    int m_chooserSelLength = 0;
    int m_splitRow = 0; // the line left with a gross amount, split on the way out
    std::string m_status;
};

} // namespace kp
