// A line edit that forwards its keys and clicks to a date field controller and shows its state.
#include "qt/DateFieldEdit.h"

#include "ledger/DateField.h"
#include "qt/QtText.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace kp {

DateFieldEdit::DateFieldEdit(DateField& field, QWidget* parent)
    : QLineEdit(parent), m_field(field) {
    sync();
}

void DateFieldEdit::sync() {
    setText(FromBook(m_field.text()));
    if (m_field.selectionLength() > 0)
        setSelection(m_field.selectionStart(), m_field.selectionLength());
    else
        setCursorPosition(m_field.caret());
}

void DateFieldEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        m_field.select(0, static_cast<int>(m_field.text().size()));
        sync();
        event->accept();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
        m_field.press(DateKey::Left);
        break;
    case Qt::Key_Right:
        m_field.press(DateKey::Right);
        break;
    case Qt::Key_Home:
        m_field.press(DateKey::Home);
        break;
    case Qt::Key_End:
        m_field.press(DateKey::End);
        break;
    case Qt::Key_Delete:
        m_field.press(DateKey::Delete);
        break;
    case Qt::Key_Backspace:
        m_field.type('\b');
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_field.type('\r') == DateKeyPress::Enter)
            emit enterPressed();
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
        event->ignore();
        return;
    default: {
        // A date holds only characters of the book's code page; others are refused.
        const QString text = event->text();
        if (text.size() != 1 || !text.at(0).isPrint() || text.at(0).unicode() > 0xFF) {
            event->ignore();
            return;
        }
        m_field.type(static_cast<char>(text.at(0).unicode()));
        break;
    }
    }
    sync();
    event->accept();
}

void DateFieldEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    // A stretch swept with the mouse stays selected, to be typed over; a click selects one
    // character.
    if (selectedText().size() > 1)
        m_field.select(selectionStart(), static_cast<int>(selectedText().size()));
    else
        m_field.click(cursorPositionAt(event->position().toPoint()));
    sync();
}

void DateFieldEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    m_field.doubleClick(cursorPositionAt(event->position().toPoint()));
    sync();
    event->accept();
}

void DateFieldEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    sync();
}

} // namespace kp
