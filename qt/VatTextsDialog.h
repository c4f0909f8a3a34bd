// The VAT-texts box "Alv-tekstit" as a modeless dialog over the VAT-texts box controller.
#pragma once

#include "reports/VatReport.h"

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kp {

class Platform;

class VatTextsDialog : public QDialog {
    Q_OBJECT

  public:
    // ok: the box's OK with the typed texts already in the box (the main window runs
    // VatTextsBox::ok on its texts and writes the settings when they were taken over). The
    // dialog shows the result's message and closes when the box has closed.
    VatTextsDialog(VatTextsBox& box, Platform& platform, std::function<VatBoxOk()> ok,
                   QWidget* parent = nullptr);

    // Shows the box's grid and captions, and shows or hides the dialog as the box is. Called
    // after the box has been opened.
    void sync();

    QTableWidget* grid() const { return m_grid; }
    QLineEdit* deductibleCaption() const { return m_deductible; }
    QLineEdit* payableCaption() const { return m_payable; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

  protected:
    // Esc acts as "Peruuta".
    void reject() override;

  private:
    void okClicked();

    VatTextsBox& m_box;
    Platform& m_platform;
    std::function<VatBoxOk()> m_okAction;
    QTableWidget* m_grid;
    QLineEdit* m_deductibleName;
    QLineEdit* m_payableName;
    QLineEdit* m_deductible;
    QLineEdit* m_payable;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace kp
