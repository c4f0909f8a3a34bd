// The voucher box "Tosite": a non-modal dialog over the voucher editor controller.
#include "qt/VoucherDialog.h"

#include "book/Win1252.h"
#include "ledger/VoucherEditor.h"
#include "qt/DateFieldEdit.h"
#include "qt/QtText.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>

namespace kp {
namespace {

// The character a key typed, in the book's code page; 0 when it has none or the code page
// cannot hold it.
char BookChar(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.size() != 1)
        return 0;
    if (text.at(0) == QLatin1Char('\b'))
        return '\b';
    if (!text.at(0).isPrint())
        return 0;
    std::string out;
    if (!Utf8ToWin1252(ToUtf8(text), out) || out.size() != 1)
        return 0;
    return out[0];
}

} // namespace

ChooserBox::ChooserBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(VoucherEditor::kDropDownRows);
    setCompleter(nullptr);
}

void ChooserBox::showPopup() {
    // Filling the list must not change what the user typed.
    const QString text = currentText();
    const int start = lineEdit()->selectionStart();
    const int length = lineEdit()->selectedText().size();
    {
        const QSignalBlocker blocker(this);
        clear();
        if (items)
            addItems(items());
        setEditText(text);
        if (start >= 0)
            lineEdit()->setSelection(start, length);
    }
    QComboBox::showPopup();
}

VoucherDialog::VoucherDialog(VoucherEditor& editor, std::function<void()> ok,
                             std::function<void()> cancel, QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_editor(editor), m_okAction(std::move(ok)), m_cancelAction(std::move(cancel)) {
    setModal(false);
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("TosNro1"));
    m_date = new DateFieldEdit(editor.date(), this);
    m_date->setObjectName(QStringLiteral("Pvm1"));
    m_description = new QLineEdit(this);
    m_description->setObjectName(QStringLiteral("Selite1"));
    m_difference = new QLineEdit(this);
    m_difference->setObjectName(QStringLiteral("EditEro1"));
    m_difference->setReadOnly(true);
    m_difference->setFocusPolicy(Qt::NoFocus);
    m_difference->setAlignment(Qt::AlignRight);

    m_grid = new QTableWidget(this);
    m_grid->setObjectName(QStringLiteral("EditGrid1"));
    m_grid->setColumnCount(VoucherEditor::kColumns);
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setTabKeyNavigation(false);
    m_grid->setColumnWidth(0, 260);
    m_grid->setColumnWidth(1, 100);
    m_grid->setColumnWidth(2, 100);
    m_grid->setMinimumSize(480, 220);

    m_chooser = new ChooserBox(m_grid->viewport());
    m_chooser->setObjectName(QStringLiteral("TiliEdit1"));
    m_chooser->items = [this] {
        QStringList list;
        for (const std::string& item : m_editor.dropDownItems())
            list << FromBook(item);
        return list;
    };
    connect(m_chooser, &QComboBox::textActivated, this, [this](const QString& text) {
        std::string bytes;
        if (Utf8ToWin1252(ToUtf8(text), bytes))
            m_editor.setChooserText(bytes);
        sync();
    });

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    m_cancel = new QPushButton(QStringLiteral("Peruuta"), this);
    m_cancel->setObjectName(QStringLiteral("BitBtn2"));
    // Enter on a button presses it; in the fields the box decides what Enter means.
    m_ok->setAutoDefault(true);
    m_cancel->setAutoDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] { m_okAction(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_cancelAction(); });

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Tositenumero"), this), 0, 0);
    layout->addWidget(m_number, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Päiväys"), this), 0, 2);
    layout->addWidget(m_date, 0, 3);
    layout->addWidget(new QLabel(QStringLiteral("Selite"), this), 1, 0);
    layout->addWidget(m_description, 1, 1, 1, 3);
    layout->addWidget(m_grid, 2, 0, 1, 4);
    layout->addWidget(new QLabel(QStringLiteral("Ero"), this), 3, 0);
    layout->addWidget(m_difference, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons, 3, 2, 1, 2);
    // Why the last amount on a VAT account stayed whole.
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("AlvTila1"));
    layout->addWidget(m_status, 4, 0, 1, 4);

    for (QObject* watched : std::initializer_list<QObject*>{m_number, m_date, m_description, m_grid,
                                                            m_grid->viewport(), m_chooser,
                                                            m_chooser->lineEdit(), m_ok, m_cancel})
        watched->installEventFilter(this);
    connect(m_date, &DateFieldEdit::enterPressed, this, [this] {
        m_editor.dateEnter();
        sync();
    });
}

bool VoucherDialog::takeTexts(std::string& message) {
    std::string number;
    std::string description;
    std::string offending;
    if (!Utf8ToWin1252(ToUtf8(m_number->text()), number, &offending) ||
        !Utf8ToWin1252(ToUtf8(m_description->text()), description, &offending)) {
        message = UnsupportedCharacterMessage(offending);
        return false;
    }
    m_editor.setNumber(std::move(number));
    m_editor.setDescription(std::move(description));
    return true;
}

QWidget* VoucherDialog::focusWidgetOfEditor() const {
    switch (m_editor.focus()) {
    case EditorFocus::Number:
        return m_number;
    case EditorFocus::Date:
        return m_date;
    case EditorFocus::Description:
        return m_description;
    case EditorFocus::Grid:
        return m_grid;
    case EditorFocus::Chooser:
        return m_chooser->lineEdit();
    case EditorFocus::Elsewhere:
        break;
    }
    return nullptr;
}

void VoucherDialog::sync() {
    m_syncing = true;
    setWindowTitle(FromBook(m_editor.caption()));
    if (!m_number->hasFocus())
        m_number->setText(FromBook(m_editor.number()));
    m_number->setEnabled(m_editor.numberEditable());
    if (!m_description->hasFocus())
        m_description->setText(FromBook(m_editor.description()));
    m_date->sync();
    m_difference->setText(FromBook(m_editor.differenceText()));
    m_status->setText(FromBook(m_editor.status()));

    const int rows = m_editor.rowCount();
    m_grid->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < VoucherEditor::kColumns; ++c) {
            QTableWidgetItem* item = m_grid->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                m_grid->setItem(r, c, item);
            }
            item->setText(FromBook(m_editor.cell(c, r)));
            // Amounts are drawn right-aligned, the header's included.
            item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                          : Qt::AlignRight | Qt::AlignVCenter);
            if (r == 0) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
                item->setBackground(palette().button());
            }
        }
    }
    m_grid->setCurrentCell(m_editor.currentRow(), m_editor.currentColumn());

    m_chooser->setVisible(m_editor.chooserVisible());
    if (m_editor.chooserVisible()) {
        placeChooser();
        m_chooser->setEditText(FromBook(m_editor.chooserText()));
        if (m_editor.chooserSelectionLength() > 0)
            m_chooser->lineEdit()->setSelection(m_editor.chooserSelectionStart(),
                                                m_editor.chooserSelectionLength());
        else
            m_chooser->lineEdit()->setCursorPosition(m_editor.chooserSelectionStart());
    }
    if (QWidget* widget = focusWidgetOfEditor(); widget && isVisible() && !widget->hasFocus())
        widget->setFocus(Qt::OtherFocusReason);
    m_syncing = false;
}

void VoucherDialog::placeChooser() {
    const QModelIndex index = m_grid->model()->index(m_editor.chooserRow(), 0);
    m_grid->scrollTo(index);
    const QRect cell = m_grid->visualRect(index);
    m_chooser->setGeometry(cell.x(), cell.y(), cell.width(),
                           std::max(cell.height(), m_chooser->sizeHint().height()));
}

void VoucherDialog::focusEntered(QObject* watched) {
    if (m_syncing)
        return;
    EditorFocus focus = EditorFocus::Elsewhere;
    if (watched == m_number)
        focus = EditorFocus::Number;
    else if (watched == m_date)
        focus = EditorFocus::Date;
    else if (watched == m_description)
        focus = EditorFocus::Description;
    else if (watched == m_grid)
        focus = EditorFocus::Grid;
    else if (watched == m_chooser || watched == m_chooser->lineEdit())
        focus = EditorFocus::Chooser;
    if (focus == m_editor.focus())
        return;
    // The description is taken before the chooser's commit can reopen the editor.
    std::string ignored;
    takeTexts(ignored);
    m_editor.setFocus(focus);
    sync();
}

bool VoucherDialog::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
        // A window that becomes active again gives the keyboard back to the field that last had
        // it; the box opened since may have put it elsewhere (the date of a new voucher after
        // "Peruuta" was clicked), so the editor's own choice is shown instead.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason) {
            QMetaObject::invokeMethod(
                this, [this] { sync(); }, Qt::QueuedConnection);
            break;
        }
        // A dialog being shown sends its old focus widget a focus-in of its own without giving
        // it the focus; that must not move the editor's focus either.
        if (const auto* widget = qobject_cast<QWidget*>(watched); widget && !widget->hasFocus())
            break;
        focusEntered(watched);
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (boxKey(key) || fieldEnter(watched, key))
            return true;
        if (watched == m_grid)
            return gridKey(key);
        if (watched == m_chooser || watched == m_chooser->lineEdit())
            return chooserKey(key);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (watched == m_grid->viewport())
            return gridMouse(static_cast<QMouseEvent*>(event));
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

bool VoucherDialog::boxKey(QKeyEvent* event) {
    EditorKey key = EditorKey::Other;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        key = EditorKey::Enter;
    else if (event->key() == Qt::Key_Escape)
        key = EditorKey::Escape;
    else
        return false;
    switch (m_editor.boxKey(key, event->modifiers() & Qt::ControlModifier)) {
    case BoxKey::Ok:
        m_okAction();
        return true;
    case BoxKey::Cancel:
        m_cancelAction();
        return true;
    case BoxKey::Field:
        break;
    }
    return false;
}

// Enter in the number and the description moves on (the date field says so itself).
bool VoucherDialog::fieldEnter(QObject* watched, QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    if (watched == m_number) {
        std::string ignored;
        takeTexts(ignored);
        m_editor.numberEnter();
    } else if (watched == m_description) {
        std::string ignored;
        takeTexts(ignored);
        m_editor.descriptionEnter();
    } else {
        return false;
    }
    sync();
    return true;
}

bool VoucherDialog::gridKey(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_editor.gridKey(EditorKey::Enter);
        break;
    case Qt::Key_Escape:
        m_editor.gridKey(EditorKey::Escape);
        break;
    case Qt::Key_Tab:
        m_editor.gridKey(EditorKey::Tab);
        break;
    case Qt::Key_Left:
        m_editor.gridKey(EditorKey::Left);
        break;
    case Qt::Key_Right:
        m_editor.gridKey(EditorKey::Right);
        break;
    case Qt::Key_Up:
        m_editor.gridKey(EditorKey::Up);
        break;
    case Qt::Key_Down:
        m_editor.gridKey(EditorKey::Down);
        break;
    case Qt::Key_Backtab:
        return false;
    default:
        if (const char c = BookChar(event))
            m_editor.gridType(c);
        else
            return false;
        break;
    }
    sync();
    return true;
}

bool VoucherDialog::chooserKey(QKeyEvent* event) {
    const bool alt = event->modifiers() & Qt::AltModifier;
    switch (event->key()) {
    case Qt::Key_F4:
        return false; // opens the drop-down
    case Qt::Key_Down:
    case Qt::Key_Up:
        if (alt)
            return false;
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_editor.chooserKey(EditorKey::Enter);
        break;
    case Qt::Key_Tab:
        m_editor.chooserKey(EditorKey::Tab);
        break;
    case Qt::Key_Escape:
        m_editor.chooserKey(EditorKey::Escape);
        break;
    case Qt::Key_Left:
        m_editor.chooserKey(EditorKey::Left);
        break;
    case Qt::Key_Right:
        m_editor.chooserKey(EditorKey::Right);
        break;
    case Qt::Key_Backspace:
        m_editor.chooserType('\b');
        break;
    default:
        if (const char c = BookChar(event))
            m_editor.chooserType(c);
        else
            return true; // nothing the list could match
        break;
    }
    sync();
    return true;
}

bool VoucherDialog::gridMouse(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const int row = m_grid->rowAt(at.y());
    const int column = m_grid->columnAt(at.x());
    if (event->button() == Qt::RightButton) {
        if (!m_editor.rowMenuAt(row))
            return true;
        m_editor.setFocus(EditorFocus::Grid);
        sync();
        QMenu menu(this);
        QAction* remove = menu.addAction(QStringLiteral("Poista Rivi"));
        QAction* add = menu.addAction(QStringLiteral("Lisää Rivi"));
        QAction* up = menu.addAction(QStringLiteral("Rivi Ylös"));
        QAction* down = menu.addAction(QStringLiteral("RiviAlas"));
        if (m_splitAction) {
            menu.addSeparator();
            menu.addAction(m_splitAction);
        }
        QAction* chosen = menu.exec(event->globalPosition().toPoint());
        if (chosen == remove)
            m_editor.deleteRow();
        else if (chosen == add)
            m_editor.insertRow();
        else if (chosen == up)
            m_editor.rowUp();
        else if (chosen == down)
            m_editor.rowDown();
        sync();
        return true;
    }
    if (event->button() == Qt::LeftButton && row >= 0 && column >= 0) {
        m_editor.setFocus(EditorFocus::Grid);
        m_editor.selectCell(column, row);
        sync();
        return true;
    }
    return false;
}

} // namespace kp
