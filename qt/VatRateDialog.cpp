// The VAT rate panel "Alv-% muutos" as a modeless dialog over the rate panel controller.
#include "qt/VatRateDialog.h"

#include "book/Win1252.h"
#include "period/VatRateChange.h"
#include "qt/QtText.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kp {

VatRateDialog::VatRateDialog(VatRatePanel& panel, std::function<void()> ok, QWidget* parent)
    : QDialog(parent), m_panel(panel), m_okAction(std::move(ok)),
      m_grid(new QTableWidget(0, 2, this)), m_ok(new QPushButton(QStringLiteral("Muuta"), this)),
      m_cancel(new QPushButton(QStringLiteral("Peruuta"), this)) {
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(FromBook(VatRatePanel::kCaption));
    setObjectName(QStringLiteral("AlvMuutPanel"));
    m_grid->setObjectName(QStringLiteral("AlvMuutGrid1"));
    m_ok->setObjectName(QStringLiteral("Ok5"));
    m_cancel->setObjectName(QStringLiteral("Cancel5"));
    m_grid->setHorizontalHeaderLabels(
        {FromBook(VatRatePanel::kCurrentHeading), FromBook(VatRatePanel::kNewHeading)});
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_ok->setAutoDefault(false);
    m_cancel->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (m_okAction)
            m_okAction();
        if (m_panel.visible())
            showRates();
        else
            hide();
    });
    connect(m_cancel, &QPushButton::clicked, this, &VatRateDialog::reject);
    // Enter moves on a row; Ctrl+Enter is "Muuta".
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        connect(new QShortcut(key, this), &QShortcut::activated, m_ok, &QPushButton::click);
}

QLineEdit* VatRateDialog::newRateField(int row) const {
    return row >= 0 && row < m_fields.size() ? m_fields[row] : nullptr;
}

void VatRateDialog::sync() {
    // The rows are made afresh: a panel opened again may list more rates.
    const auto& rows = m_panel.rows();
    m_fields.clear(); // before the old edits go, so that none of them reports a row
    m_grid->setRowCount(0);
    m_grid->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        auto* current = new QTableWidgetItem;
        current->setFlags(Qt::ItemIsEnabled);
        m_grid->setItem(row, 0, current);
        // Each "Uusi %" cell is an edit of its own, so that every key reaches the panel as
        // it is typed and Enter can move on to the next row.
        auto* field = new QLineEdit;
        field->setFrame(false);
        field->setObjectName(QStringLiteral("AlvMuutGrid1_%1").arg(row));
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this,
                [this, row](const QString& text) { rowEdited(row, text); });
        m_grid->setCellWidget(row, 1, field);
        m_fields.push_back(field);
    }
    showRates();
    if (m_panel.visible()) {
        show();
        raise();
        activateWindow();
        if (QLineEdit* field = newRateField(m_panel.currentRow()))
            field->setFocus();
    } else {
        hide();
    }
}

void VatRateDialog::showRates() {
    const auto& rows = m_panel.rows();
    for (int row = 0; row < static_cast<int>(rows.size()) && row < m_fields.size(); ++row) {
        const auto& r = rows[static_cast<size_t>(row)];
        m_grid->item(row, 0)->setText(FromBook(r.currentRate));
        const QString shown = FromBook(r.newRate);
        // Only a changed text is set, so that the caret of the cell being typed stays put.
        if (m_fields[row]->text() != shown)
            m_fields[row]->setText(shown);
    }
}

bool VatRateDialog::eventFilter(QObject* watched, QEvent* event) {
    const int row = m_fields.indexOf(qobject_cast<QLineEdit*>(watched));
    if (row >= 0 && event->type() == QEvent::FocusIn) {
        rowEntered(row);
    } else if (row >= 0 && event->type() == QEvent::KeyPress) {
        // Enter belongs to the grid: it moves on a row and must not reach "Muuta".
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const int key = keyEvent->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            !(keyEvent->modifiers() & Qt::ControlModifier)) {
            enterPressed();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void VatRateDialog::rowEntered(int row) {
    // `AlvMuutGrid1SelectCell`: the cell left behind is checked before the selection moves.
    if (row == m_panel.currentRow())
        return;
    m_panel.selectCell(row, 1);
    showRates();
}

void VatRateDialog::rowEdited(int row, const QString& text) {
    if (row != m_panel.currentRow())
        rowEntered(row);
    // A character the book's code page lacks cannot be part of a rate: the cell is then
    // cleared when it is left, as for any other text that is not a number.
    std::string typed;
    if (!Utf8ToWin1252(ToUtf8(text), typed))
        typed.assign(1, '?');
    m_panel.editNewRate(std::move(typed));
}

void VatRateDialog::enterPressed() {
    m_panel.enter();
    showRates();
    if (QLineEdit* field = newRateField(m_panel.currentRow()))
        field->setFocus();
}

void VatRateDialog::reject() {
    m_panel.cancel();
    QDialog::reject();
}

} // namespace kp
