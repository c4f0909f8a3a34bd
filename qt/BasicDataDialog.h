// The basic-data box as a dialog: company name and the fiscal year's first and last day.
#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

namespace kp {

class BasicDataBox;
class DateFieldEdit;

class BasicDataDialog : public QDialog {
    Q_OBJECT

  public:
    // accept: the box's OK with what was typed; true when the box may close. vatRate: the
    // button "Alv-% muutos", which opens the rate panel over this dialog.
    BasicDataDialog(BasicDataBox& box,
                    std::function<bool(const QString&, const QString&, const QString&)> accept,
                    std::function<void(QWidget*)> vatRate, QWidget* parent = nullptr);

    QLineEdit* companyName() const { return m_name; }
    DateFieldEdit* firstDay() const { return m_first; }
    DateFieldEdit* lastDay() const { return m_last; }
    QPushButton* vatRateButton() const { return m_vatRate; }

  private:
    QLineEdit* m_name;
    DateFieldEdit* m_first;
    DateFieldEdit* m_last;
    QPushButton* m_vatRate;
};

} // namespace kp
