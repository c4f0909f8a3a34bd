// The chart page's commands: the account editor box "Tili", deleting, the context menu and
// moving lines by drag and drop.
#pragma once

#include "book/BookTree.h"
#include "ledger/AccountIndex.h"
#include "ledger/ChartView.h"

#include <functional>
#include <string>
#include <string_view>

namespace kp {

// The editor's field a refusal is about, to be given the focus again.
enum class ChartField { None, Number, Rate };

// What a chart command did. When the book changed, the caller sets the unsaved-changes flag
// and marks every page stale; the chart view has already been updated in place.
struct ChartEditResult {
    bool bookChanged = false;
    // A message to show (UTF-8, for a message box); empty when there is none.
    std::string message;
    ChartField field = ChartField::None;
};

inline constexpr std::string_view kDuplicateNumberStart = "Tilinumero ";
inline constexpr std::string_view kDuplicateNumberEnd = " on jo k\xC3\xA4yt\xC3\xB6ss\xC3\xA4";
inline constexpr std::string_view kNumberNotDigits =
    "Tilinumero on 1-9 numeroa; otsikolle numero j\xC3\xA4tet\xC3\xA4\xC3\xA4n tyhj\xC3\xA4ksi.";
inline constexpr std::string_view kRateNeeded =
    "T\xC3\xA4m\xC3\xA4 alv-luokka tarvitsee alv-prosentin, esimerkiksi 25,5.";
inline constexpr std::string_view kAccountHasPostings =
    "Tili\xC3\xA4 ei voi poistaa,\r\nkoska sill\xC3\xA4 on vientej\xC3\xA4";

// The account editor `TiliEditBox1`. It is modeless: between opening and OK the user may work
// elsewhere, and OK acts on the line chosen at opening. Texts are Windows-1252; the widget
// converts what it shows and what the user types.
class AccountEditor {
  public:
    static constexpr std::string_view kBoxCaption = "Tili";
    static constexpr std::string_view kEditCaption = "Muokataan tili\xE4";
    static constexpr std::string_view kNewCaption = "Uusi alatili otsikolle ";
    static constexpr int kRateMaxLength = 5;

    // "Muokkaa tiliä" and a double click on the chart: the editor on the selected line; an
    // account's VAT line stands for the account. Nothing happens without a selection.
    void openOnLine(BookNode* selected, const VatTexts& vatTexts);
    // "Uusi alatili": the editor for a new line under the selected line, with empty fields.
    void openNewSubAccount(BookNode* selected);

    // The form shows one box at a time, and a second request while it is shown hides it; the
    // fields are set all the same. The caller hides the form's other boxes.
    bool visible() const { return m_visible; }
    void hide() { m_visible = false; }
    // "Peruuta": closes the box; nothing changes.
    void cancel() { m_visible = false; }
    // The book's nodes are about to go (another book, the book emptied or reshaped): the box
    // closes and forgets its line.
    void forgetBook();

    // --- fields --------------------------------------------------------------------------
    const std::string& caption() const { return m_caption; }
    const std::string& numberText() const { return m_number; } // `TiliNro2`
    void setNumberText(std::string text) { m_number = std::move(text); }
    const std::string& nameText() const { return m_name; } // `TiliNimi2`
    void setNameText(std::string text) { m_name = std::move(text); }
    int vatClass() const { return m_vatClass; } // `Alv1`: 0 "-" .. 13
    // `Alv1Change`: a class outside 0..13 is taken as 0. The rate field is enabled for the
    // classes that carry a rate and emptied whenever it is disabled.
    void setVatClass(int vatClass);
    const std::string& rateText() const { return m_rate; } // `AlvPros1`
    // Typing into the rate field: ignored while it is disabled; at most five characters stay.
    void setRateText(std::string_view text);
    bool rateEnabled() const { return m_rateEnabled; }
    bool newSubAccountMode() const { return m_newSubAccount; }
    const BookNode* editedLine() const { return m_editedLine; }

    // `Ok4Click`. Refused with a message, the box staying open with nothing changed: a number
    // that is not 1 to 9 digits (a heading is made by leaving it empty), an account whose VAT
    // class carries a rate without a rate such as 24 or 25,5, and a number above 0 that another
    // account of the account list already has; the account being edited may keep its own. Otherwise
    // the box closes and the account node, its group and VAT nodes and the chart line are written.
    // The index must be current: the caller rebuilds it first when its stale bit is set.
    ChartEditResult ok(BookTree& book, ChartView& chart, const AccountIndex& index,
                       const VatTexts& vatTexts);

  private:
    BookNode* resolveEditedLine(const BookTree& book, const ChartView& chart) const;
    void open(BookNode* line);

    bool m_visible = false;
    std::string m_caption{kBoxCaption};
    std::string m_number;
    std::string m_name;
    int m_vatClass = 0;
    std::string m_rate;
    bool m_rateEnabled = false;
    bool m_newSubAccount = false;
    BookNode* m_editedLine = nullptr;
    // The node the edited line showed at opening: OK finds its line again if the chart has
    // been rebuilt meanwhile, and does nothing if the node has left the book.
    BookNode* m_editedNode = nullptr;
};

// "Poista tili" (`MenuItem3Click`). Refused with a message when any account of the line's
// subtree has a posting anywhere in the book, whatever the voucher filter; the root line
// "TILIKARTTA" (the whole account map) is never deleted. Otherwise the user is asked (the
// question in Windows-1252: "Poistetaanko tili 1920 Säästötili?"), and on yes the node goes
// from the book and the line from the chart, each with its subtree.
ChartEditResult DeleteChartLine(BookTree& book, ChartView& chart, const AccountIndex& index,
                                BookNode* line,
                                const std::function<bool(const std::string&)>& confirm);
// The question "Poista tili" asks before it deletes the line.
std::string DeleteChartLineQuestion(const BookNode& line);

// The context menu `TilikarttaMenu1` for the selected line.
struct ChartMenuState {
    bool opens = false;
    bool newSubAccountEnabled = false; // "Uusi alatili"
};
// Opens on the root, on headings and on lines directly under headings, and only while the
// dialog form is hidden.
ChartMenuState ChartContextMenu(const BookNode* selected, bool dialogVisible);

// `TilikarttaDragOver`: a drop is accepted over a line that shows a book node.
bool ChartDropAccepted(const BookNode* targetLine);

// `TilikarttaDragDrop`. On a label the moved line becomes the target's last sub-line and its
// node the last node of the target's group node (refused when the target has no group node);
// on the expand button the moved line and node go just before the target's. A line never moves
// into its own subtree, and nothing moves out of the account map. True when the book changed.
bool MoveChartLine(BookTree& book, ChartView& chart, BookNode* moved, BookNode* target,
                   DropSpot zone);

} // namespace kp
