// The basic-data box as a dialog.
#include "qt/BasicDataDialog.h"

#include "period/NewFiscalYear.h"
#include "qt/QtText.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace kp {

BasicDataDialog::BasicDataDialog(
    const BasicDataBox& box,
    std::function<bool(const QString&, const QString&, const QString&)> accept, QWidget* parent)
    : QDialog(parent), m_name(new QLineEdit(FromBook(box.companyName()), this)),
      m_first(new QLineEdit(FromBook(box.firstDay().text()), this)),
      m_last(new QLineEdit(FromBook(box.lastDay().text()), this)) {
    setWindowTitle(FromBook(box.caption()));
    m_name->setObjectName(QStringLiteral("companyName"));
    m_first->setObjectName(QStringLiteral("firstDay"));
    m_last->setObjectName(QStringLiteral("lastDay"));
    // The first day takes digits only and steps over its dots; the last day takes any
    // character and leaves the check to OK.
    m_first->setInputMask(QStringLiteral("99.99.9999"));
    m_first->setText(FromBook(box.firstDay().text()));
    m_last->setMaxLength(10);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Peruuta"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Yritys"), m_name);
    form->addRow(QStringLiteral("Tilikausi alkaa"), m_first);
    form->addRow(QStringLiteral("Tilikausi päättyy"), m_last);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this, accept] {
        if (accept(m_name->text(), m_first->text(), m_last->text()))
            QDialog::accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

} // namespace kp
