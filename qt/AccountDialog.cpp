// The account editor box "Tili" as a modeless dialog over the account editor.
#include "qt/AccountDialog.h"

#include "app/Platform.h"
#include "book/Win1252.h"
#include "qt/QtText.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace kp {

AccountDialog::AccountDialog(AccountEditor& editor, Platform& platform,
                             std::function<ChartEditResult()> ok, QWidget* parent)
    : QDialog(parent), m_editor(editor), m_platform(platform), m_okAction(std::move(ok)),
      m_number(new QLineEdit(this)), m_name(new QLineEdit(this)), m_vatClass(new QComboBox(this)),
      m_rate(new QLineEdit(this)), m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Peruuta"), this)) {
    setModal(false);
    // Closed through its own buttons only, like the rest of the dialog form.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_number->setObjectName(QStringLiteral("TiliNro2"));
    m_name->setObjectName(QStringLiteral("TiliNimi2"));
    m_name->setMinimumWidth(300); // an account name reads whole
    m_vatClass->setObjectName(QStringLiteral("Alv1"));
    m_rate->setObjectName(QStringLiteral("AlvPros1"));
    m_ok->setObjectName(QStringLiteral("Ok4"));
    m_cancel->setObjectName(QStringLiteral("Cancel4"));
    m_rate->setMaxLength(AccountEditor::kRateMaxLength);
    m_rate->setEnabled(false);
    m_ok->setDefault(true);

    auto* box = new QGroupBox(FromBook(AccountEditor::kBoxCaption), this);
    box->setObjectName(QStringLiteral("TiliEditBox1"));
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("Tilinumero"), m_number);
    form->addRow(QStringLiteral("Nimi"), m_name);
    form->addRow(QStringLiteral("Alv"), m_vatClass);
    form->addRow(QStringLiteral("Alv %"), m_rate);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(box);
    layout->addLayout(buttons);

    connect(m_vatClass, &QComboBox::currentIndexChanged, this, &AccountDialog::vatClassChosen);
    connect(m_ok, &QPushButton::clicked, this, &AccountDialog::okClicked);
    connect(m_cancel, &QPushButton::clicked, this, &AccountDialog::reject);
}

void AccountDialog::sync(const VatTexts& vatTexts) {
    setWindowTitle(FromBook(m_editor.caption()));
    m_number->setText(FromBook(m_editor.numberText()));
    m_name->setText(FromBook(m_editor.nameText()));
    {
        const QSignalBlocker blocker(m_vatClass);
        m_vatClass->clear();
        // Item 0 is always "-": the class without VAT, which no user text renames.
        m_vatClass->addItem(QStringLiteral("-"));
        for (size_t k = 1; k < vatTexts.size(); ++k)
            m_vatClass->addItem(FromBook(vatTexts[k]));
        m_vatClass->setCurrentIndex(m_editor.vatClass());
    }
    m_rate->setEnabled(m_editor.rateEnabled());
    m_rate->setText(FromBook(m_editor.rateText()));
    if (m_editor.visible()) {
        show();
        raise();
        activateWindow();
        m_number->setFocus();
    } else {
        hide();
    }
}

void AccountDialog::vatClassChosen(int vatClass) {
    // `Alv1Change`: the editor decides whether the class takes a rate; a disabled rate field
    // is emptied.
    m_editor.setVatClass(vatClass);
    m_rate->setEnabled(m_editor.rateEnabled());
    if (!m_editor.rateEnabled())
        m_rate->clear();
}

void AccountDialog::okClicked() {
    // Everything typed must fit the book's code page before anything reaches the editor: a
    // refused character leaves the book and the fields as they are.
    std::string number;
    std::string name;
    std::string rate;
    std::string offending;
    if (!Utf8ToWin1252(ToUtf8(m_number->text()), number, &offending) ||
        !Utf8ToWin1252(ToUtf8(m_name->text()), name, &offending) ||
        !Utf8ToWin1252(ToUtf8(m_rate->text()), rate, &offending)) {
        m_platform.showMessage(UnsupportedCharacterMessage(offending));
        return;
    }
    m_editor.setNumberText(std::move(number));
    m_editor.setNameText(std::move(name));
    m_editor.setVatClass(m_vatClass->currentIndex());
    m_editor.setRateText(rate);
    const ChartEditResult result = m_okAction ? m_okAction() : ChartEditResult{};
    if (!result.message.empty())
        m_platform.showMessage(result.message);
    if (!m_editor.visible()) {
        hide();
        return;
    }
    // A refusal gives the keyboard back to the box, in the field it is about.
    QLineEdit* field = result.field == ChartField::Number ? m_number
                       : result.field == ChartField::Rate ? m_rate
                                                          : nullptr;
    if (field) {
        activateWindow();
        field->setFocus();
        field->selectAll();
    }
}

void AccountDialog::reject() {
    m_editor.cancel();
    QDialog::reject();
}

} // namespace kp
