// The basic-data box as a dialog: company name and the fiscal year's first and last day.
#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;

namespace kp {

class BasicDataBox;

class BasicDataDialog : public QDialog {
    Q_OBJECT

  public:
    // accept: the box's OK with what was typed; true when the box may close.
    BasicDataDialog(const BasicDataBox& box,
                    std::function<bool(const QString&, const QString&, const QString&)> accept,
                    QWidget* parent = nullptr);

    QLineEdit* companyName() const { return m_name; }
    QLineEdit* firstDay() const { return m_first; }
    QLineEdit* lastDay() const { return m_last; }

  private:
    QLineEdit* m_name;
    QLineEdit* m_first;
    QLineEdit* m_last;
};

} // namespace kp
