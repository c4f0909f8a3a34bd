// The date field controller: a dd.mm.yyyy edit in overwrite mode that steps over its dots.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kp {

// Keys that move the caret or delete; every other key is Other. Characters (digits, letters,
// Backspace as '\b', Enter as '\r') arrive through keyPress.
enum class DateKey { Left, Right, Home, End, Delete, Other };

// What a typed character did.
enum class DateKeyPress {
    Typed,     // the text changed
    Discarded, // refused: not a digit in a digits-only field, no room at the end, a control key
    Enter      // '\r': the text is unchanged; the owner decides what Enter means
};

// How one date field reacts on top of a plain single-line edit.
struct DateFieldRules {
    bool digitsOnly = true;         // Delete is discarded and only the digits 0-9 can be typed
    std::size_t maxLength = 0;      // 0: no limit
    bool doubleClickSelects = true; // a double click selects one character, as a click does
};

// The text has the form dd.mm.yyyy with dots at positions 2 and 5 (counted from 0). One
// character is selected at all times, so that the next digit replaces it and the caret moves
// on; the dots are put back and stepped over in the direction of travel. The widget forwards
// each key as key down, key press (for a character) and key up, and draws text and selection.
class DateField {
  public:
    static constexpr std::string_view kEmptyDate = "00.00.0000";

    // The voucher editor's date: digits only, no length limit.
    static DateField voucherDate() { return DateField({true, 0, true}); }
    // The basic-data box's first day: digits only, at most 10 characters.
    static DateField firstDay() { return DateField({true, 10, true}); }
    // The basic-data box's last day: any character, at most 10, only the click and key-up rules.
    static DateField lastDay() { return DateField({false, 10, false}); }

    explicit DateField(DateFieldRules rules, std::string text = std::string(kEmptyDate));

    // Replaces the text and selects its first character.
    void setText(std::string text);
    const std::string& text() const { return m_text; }

    // The caret is the selection's start; the selection is empty only at the end of the text
    // or after a key that the rules leave to the plain edit.
    int caret() const { return m_selStart; }
    int selectionStart() const { return m_selStart; }
    int selectionLength() const { return m_selLength; }
    std::string_view selectedText() const;

    // A click at a caret position (0..length).
    void click(int position);
    // A stretch selected with the mouse or Ctrl+A: the next character typed replaces it all.
    void select(int start, int length);
    void doubleClick(int position);

    void keyDown(DateKey key);
    DateKeyPress keyPress(char c);
    void keyUp(DateKey key);

    // One whole keystroke as the window delivers it: key down, key press, key up.
    DateKeyPress type(char c);
    void press(DateKey key);

  private:
    int length() const { return static_cast<int>(m_text.size()); }
    void setCaret(int position);
    void selectAfterCaret();
    void replaceSelection(std::string_view with);

    DateFieldRules m_rules;
    std::string m_text;
    int m_selStart = 0;
    int m_selLength = 0;
};

} // namespace kp
