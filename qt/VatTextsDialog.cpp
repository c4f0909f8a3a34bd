// The VAT-texts box "Alv-tekstit" as a modeless dialog over the VAT-texts box controller.
#include "qt/VatTextsDialog.h"

#include "app/Platform.h"
#include "book/Win1252.h"
#include "qt/QtText.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>
#include <string>
#include <utility>
#include <vector>

namespace kp {

VatTextsDialog::VatTextsDialog(VatTextsBox& box, Platform& platform, std::function<VatBoxOk()> ok,
                               QWidget* parent)
    : QDialog(parent), m_box(box), m_platform(platform), m_okAction(std::move(ok)),
      m_grid(new QTableWidget(VatTextsBox::kRows, VatTextsBox::kColumns, this)),
      m_deductibleName(new QLineEdit(this)), m_payableName(new QLineEdit(this)),
      m_deductible(new QLineEdit(this)), m_payable(new QLineEdit(this)),
      m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Peruuta"), this)) {
    setModal(false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_grid->setObjectName(QStringLiteral("VatGrid1"));
    m_deductibleName->setObjectName(QStringLiteral("VahVero1"));
    m_payableName->setObjectName(QStringLiteral("MaksVero1"));
    m_deductible->setObjectName(QStringLiteral("VahVero2"));
    m_payable->setObjectName(QStringLiteral("MaksVero2"));
    m_ok->setObjectName(QStringLiteral("BitBtn3"));
    m_cancel->setObjectName(QStringLiteral("BitBtn4"));
    // Enter ends the typing in a cell; it does not close the box (Ctrl+Enter does).
    m_ok->setAutoDefault(false);
    m_cancel->setAutoDefault(false);

    // Row 0 and column 0 are the grid's own fixed cells, so Qt's headers stay hidden.
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    for (int column = 0; column < VatTextsBox::kColumns; ++column)
        m_grid->setColumnWidth(column, VatTextsBox::kColumnWidths[static_cast<size_t>(column)]);
    m_grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    m_grid->setMinimumWidth(VatTextsBox::kColumnWidths[0] + VatTextsBox::kColumnWidths[1] +
                            VatTextsBox::kColumnWidths[2] + 4);
    m_deductibleName->setReadOnly(true);
    m_payableName->setReadOnly(true);
    m_deductibleName->setText(FromBook(m_box.deductibleName()));
    m_payableName->setText(FromBook(m_box.payableName()));

    auto* group = new QGroupBox(QStringLiteral("Alv-tekstit"), this);
    group->setObjectName(QStringLiteral("VatBox1"));
    auto* captions = new QGridLayout;
    captions->addWidget(m_deductibleName, 0, 0);
    captions->addWidget(m_deductible, 0, 1);
    captions->addWidget(m_payableName, 1, 0);
    captions->addWidget(m_payable, 1, 1);
    auto* inner = new QVBoxLayout(group);
    inner->addWidget(m_grid);
    inner->addLayout(captions);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &VatTextsDialog::okClicked);
    // Ctrl+Enter is OK wherever the keyboard is, a cell being typed into included.
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        connect(new QShortcut(key, this), &QShortcut::activated, m_ok, &QPushButton::click);
    connect(m_cancel, &QPushButton::clicked, this, &VatTextsDialog::reject);
    // Outside the grid, Enter is OK as in every other box.
    for (QLineEdit* field : {m_deductible, m_payable})
        connect(field, &QLineEdit::returnPressed, m_ok, &QPushButton::click);
}

void VatTextsDialog::sync() {
    setWindowTitle(FromBook(VatTextsBox::kCaption));
    const QBrush fixed = palette().brush(QPalette::Button);
    for (int row = 0; row < VatTextsBox::kRows; ++row) {
        for (int column = 0; column < VatTextsBox::kColumns; ++column) {
            auto* item = new QTableWidgetItem(FromBook(m_box.cell(column, row)));
            if (!VatTextsBox::editable(column, row)) {
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
                if (row == 0 || column == 0)
                    item->setBackground(fixed);
            }
            m_grid->setItem(row, column, item);
        }
    }
    m_deductible->setText(FromBook(m_box.deductibleCaption()));
    m_payable->setText(FromBook(m_box.payableCaption()));
    if (m_box.visible()) {
        show();
        raise();
        activateWindow();
        m_grid->setCurrentCell(1, 1);
        m_grid->setFocus();
    } else {
        hide();
    }
}

void VatTextsDialog::okClicked() {
    // A cell still being edited hands its text over when the current cell moves away.
    m_grid->setCurrentIndex(QModelIndex());
    std::string text;
    std::string offending;
    auto convert = [&](const QString& typed) {
        text.clear();
        if (Utf8ToWin1252(ToUtf8(typed), text, &offending))
            return true;
        m_platform.showMessage(UnsupportedCharacterMessage(offending));
        return false;
    };
    // Everything is converted before anything is taken over, so that a refused character
    // leaves the box as it was.
    std::vector<std::pair<std::pair<int, int>, std::string>> cells;
    for (int row = 0; row < VatTextsBox::kRows; ++row) {
        for (int column = 0; column < VatTextsBox::kColumns; ++column) {
            if (!VatTextsBox::editable(column, row))
                continue;
            const QTableWidgetItem* item = m_grid->item(row, column);
            if (!convert(item ? item->text() : QString()))
                return;
            cells.push_back({{column, row}, text});
        }
    }
    if (!convert(m_deductible->text()))
        return;
    const std::string deductible = text;
    if (!convert(m_payable->text()))
        return;
    for (const auto& [place, cellText] : cells)
        m_box.setCell(place.first, place.second, cellText);
    m_box.setDeductibleCaption(deductible);
    m_box.setPayableCaption(text);
    const VatBoxOk result = m_okAction ? m_okAction() : VatBoxOk{};
    if (!result.message.empty())
        m_platform.showMessage(result.message);
    if (!m_box.visible())
        hide();
}

void VatTextsDialog::reject() {
    m_box.cancel();
    QDialog::reject();
}

} // namespace kp
