// The VAT rate panel "Alv-% muutos" as a modeless dialog over the rate panel controller.
#pragma once

#include <QDialog>
#include <QList>
#include <functional>

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kp {

class Platform;
class VatRatePanel;

class VatRateDialog : public QDialog {
    Q_OBJECT

  public:
    // ok: "Muuta" (the main window runs the panel's OK, which asks its question, and marks the
    // book changed when it did). The dialog closes when the panel has closed.
    VatRateDialog(VatRatePanel& panel, std::function<void()> ok, QWidget* parent = nullptr);

    // Shows the panel's rows, and shows or hides the dialog as the panel is. Called after the
    // panel has been opened.
    void sync();

    QTableWidget* grid() const { return m_grid; }
    // The "Uusi %" cell of a row, or none.
    QLineEdit* newRateField(int row) const;
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

  protected:
    // Esc acts as "Peruuta".
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void rowEntered(int row);
    void rowEdited(int row, const QString& text);
    void enterPressed();
    void showRates();

    VatRatePanel& m_panel;
    std::function<void()> m_okAction;
    QTableWidget* m_grid;
    QList<QLineEdit*> m_fields;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace kp
