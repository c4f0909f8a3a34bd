// The basic-data box as a dialog.
#include "qt/BasicDataDialog.h"

#include "period/NewFiscalYear.h"
#include "qt/DateFieldEdit.h"
#include "qt/QtText.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace kp {

BasicDataDialog::BasicDataDialog(
    BasicDataBox& box, std::function<bool(const QString&, const QString&, const QString&)> accept,
    std::function<void(QWidget*)> vatRate, QWidget* parent)
    : QDialog(parent), m_name(new QLineEdit(FromBook(box.companyName()), this)),
      // The first day takes digits only and steps over its dots; the last day takes any
      // character and leaves the check to OK. Both keep one character selected, so that
      // typing overwrites the date in place.
      m_first(new DateFieldEdit(box.firstDay(), this)),
      m_last(new DateFieldEdit(box.lastDay(), this)),
      m_vatRate(new QPushButton(QStringLiteral("Alv-% muutos"), this)) {
    setWindowTitle(FromBook(box.caption()));
    m_name->setObjectName(QStringLiteral("companyName"));
    m_first->setObjectName(QStringLiteral("firstDay"));
    m_last->setObjectName(QStringLiteral("lastDay"));
    m_vatRate->setObjectName(QStringLiteral("Alvmuut1"));
    m_vatRate->setAutoDefault(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Peruuta"));
    buttons->addButton(m_vatRate, QDialogButtonBox::ActionRole);
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
    connect(m_vatRate, &QPushButton::clicked, this, [this, vatRate] {
        if (vatRate)
            vatRate(this);
    });
    // Enter is OK in the date fields too, as in every other field of the box.
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    for (DateFieldEdit* field : {m_first, m_last})
        connect(field, &DateFieldEdit::enterPressed, ok, &QPushButton::click);
}

} // namespace kp
