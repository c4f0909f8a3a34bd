// A line edit that forwards its keys and clicks to a date field controller and shows its state.
#pragma once

#include <QLineEdit>

namespace kp {

class DateField;

class DateFieldEdit : public QLineEdit {
    Q_OBJECT

  public:
    DateFieldEdit(DateField& field, QWidget* parent = nullptr);

    // Shows the controller's text and selection.
    void sync();

  signals:
    // Enter in a field whose owner gives it a meaning (the voucher date moves on to the lines).
    void enterPressed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    DateField& m_field;
};

} // namespace kp
