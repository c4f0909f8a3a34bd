// The date field controller: a dd.mm.yyyy edit in overwrite mode that steps over its dots.
#include "ledger/DateField.h"

#include <algorithm>
#include <utility>

namespace kp {
namespace {

bool IsDateDigit(char c) {
    return c >= '0' && c <= '9';
}

// Where the dots of dd.mm.yyyy stand.
bool IsDotPosition(int position) {
    return position == 2 || position == 5;
}

} // namespace

DateField::DateField(DateFieldRules rules, std::string text) : m_rules(rules) {
    setText(std::move(text));
}

void DateField::setText(std::string text) {
    m_text = std::move(text);
    setCaret(0);
    selectAfterCaret();
}

std::string_view DateField::selectedText() const {
    return std::string_view(m_text).substr(static_cast<size_t>(m_selStart),
                                           static_cast<size_t>(m_selLength));
}

void DateField::setCaret(int position) {
    m_selStart = std::clamp(position, 0, length());
    m_selLength = 0;
}

void DateField::selectAfterCaret() {
    m_selLength = m_selStart < length() ? 1 : 0;
}

void DateField::replaceSelection(std::string_view with) {
    m_text.replace(static_cast<size_t>(m_selStart), static_cast<size_t>(m_selLength), with);
    setCaret(m_selStart + static_cast<int>(with.size()));
}

void DateField::click(int position) {
    setCaret(position);
    selectAfterCaret();
}

void DateField::select(int start, int length) {
    setCaret(start);
    m_selLength = std::clamp(length, 0, this->length() - m_selStart);
}

void DateField::doubleClick(int position) {
    if (m_rules.doubleClickSelects) {
        click(position);
        return;
    }
    // A plain edit selects the word under the mouse; a date holds no blanks, so mostly all of it.
    const int at = std::clamp(position, 0, length());
    int from = at;
    int to = at;
    while (from > 0 && m_text[static_cast<size_t>(from - 1)] != ' ')
        --from;
    while (to < length() && m_text[static_cast<size_t>(to)] != ' ')
        ++to;
    m_selStart = from;
    m_selLength = to - from;
}

void DateField::keyDown(DateKey key) {
    const int selEnd = m_selStart + m_selLength;
    switch (key) {
    case DateKey::Left:
        setCaret(selEnd - 1);
        break;
    case DateKey::Right:
        setCaret(selEnd + 1);
        break;
    case DateKey::Home:
        setCaret(0);
        break;
    case DateKey::End:
        setCaret(length());
        break;
    case DateKey::Delete:
        // The digits-only fields would lose a character and shift the dots out of place.
        if (m_rules.digitsOnly)
            break;
        if (m_selLength == 0 && m_selStart < length())
            m_selLength = 1;
        replaceSelection({});
        break;
    case DateKey::Other:
        break;
    }
}

DateKeyPress DateField::keyPress(char c) {
    if (c == '\r')
        return DateKeyPress::Enter;
    if (m_rules.digitsOnly && !IsDateDigit(c))
        return DateKeyPress::Discarded;
    if (c == '\b') {
        if (m_selLength == 0) {
            if (m_selStart == 0)
                return DateKeyPress::Discarded;
            --m_selStart;
            m_selLength = 1;
        }
        replaceSelection({});
        return DateKeyPress::Typed;
    }
    if (static_cast<unsigned char>(c) < 32)
        return DateKeyPress::Discarded;
    // A dot typed right after the field's own dot, which the caret has just stepped over, is
    // already there: "31.12.2027" typed as it is written gives 31.12.2027.
    if (c == '.' && IsDotPosition(m_selStart - 1) &&
        m_text[static_cast<size_t>(m_selStart - 1)] == '.')
        return DateKeyPress::Discarded;
    if (m_rules.maxLength > 0 &&
        m_text.size() - static_cast<size_t>(m_selLength) + 1 > m_rules.maxLength)
        return DateKeyPress::Discarded;
    replaceSelection(std::string_view(&c, 1));
    return DateKeyPress::Typed;
}

void DateField::keyUp(DateKey key) {
    int caret = m_selStart;
    if (key == DateKey::Left || key == DateKey::Right)
        caret = std::max(caret - 1, 0);
    if (IsDotPosition(caret)) {
        // A dot typed over or deleted comes back; at the end of a short text it is appended.
        if (caret >= length())
            m_text.push_back('.');
        else
            m_text[static_cast<size_t>(caret)] = '.';
        caret += key == DateKey::Left ? -1 : 1;
    }
    setCaret(caret);
    selectAfterCaret();
}

DateKeyPress DateField::type(char c) {
    keyDown(DateKey::Other);
    const DateKeyPress result = keyPress(c);
    keyUp(DateKey::Other);
    return result;
}

void DateField::press(DateKey key) {
    keyDown(key);
    keyUp(key);
}

} // namespace kp
