// The account editor box "Tili" as a modeless dialog over the account editor.
#pragma once

#include "ledger/AccountEditor.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kp {

class Platform;

class AccountDialog : public QDialog {
    Q_OBJECT

  public:
    // ok: the editor's OK on the open book, with the typed fields already in the editor (the
    // main window runs AccountEditor::ok, marks the book changed and refreshes its views). The
    // dialog shows the result's message and closes when the editor has closed.
    AccountDialog(AccountEditor& editor, Platform& platform, std::function<ChartEditResult()> ok,
                  QWidget* parent = nullptr);

    // Shows the editor's fields, with the class list of the VAT texts, and shows or hides the
    // dialog as the editor is. Called after the editor has been opened.
    void sync(const VatTexts& vatTexts);

    QLineEdit* numberField() const { return m_number; }
    QLineEdit* nameField() const { return m_name; }
    QComboBox* vatClassList() const { return m_vatClass; }
    QLineEdit* rateField() const { return m_rate; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

  protected:
    // Esc acts as "Peruuta".
    void reject() override;

  private:
    void vatClassChosen(int vatClass);
    void okClicked();

    AccountEditor& m_editor;
    Platform& m_platform;
    std::function<ChartEditResult()> m_okAction;
    QLineEdit* m_number;
    QLineEdit* m_name;
    QComboBox* m_vatClass;
    QLineEdit* m_rate;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace kp
