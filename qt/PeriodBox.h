// The period chooser's group box: month and year lists over the chooser, OK and Cancel.
#pragma once

#include <QGroupBox>

class QComboBox;
class QPushButton;

namespace kp {

class PeriodChooser;

class PeriodBox : public QGroupBox {
    Q_OBJECT

  public:
    PeriodBox(PeriodChooser& chooser, QWidget* parent = nullptr);

    // Shows the box as the chooser is now (caption, lists, choice), or hides it.
    void sync();

    QComboBox* monthList() const { return m_month; }
    QComboBox* yearList() const { return m_year; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

  signals:
    void accepted();
    void rejected();

  protected:
    // Enter is OK and Esc is "Peruuta" wherever the focus is in the box (a list's own drop-down
    // takes them first while it is open).
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void setIndex(QComboBox* list, int index);

    PeriodChooser& m_chooser;
    QComboBox* m_month;
    QComboBox* m_year;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    bool m_syncing = false;
};

} // namespace kp
