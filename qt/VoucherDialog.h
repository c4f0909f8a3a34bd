// The voucher box "Tosite": a non-modal dialog over the voucher editor controller.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <functional>
#include <string>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kp {

class DateFieldEdit;
class VoucherEditor;

// The account chooser: an editable combo box whose drop-down is filled when it opens.
class ChooserBox : public QComboBox {
    Q_OBJECT

  public:
    explicit ChooserBox(QWidget* parent = nullptr);
    std::function<QStringList()> items;
    void showPopup() override;
};

class VoucherDialog : public QDialog {
    Q_OBJECT

  public:
    // ok: the OK button (the owner takes the typed texts and posts); cancel: "Peruuta".
    VoucherDialog(VoucherEditor& editor, std::function<void()> ok, std::function<void()> cancel,
                  QWidget* parent = nullptr);

    // Shows the controller's state: fields, grid, chooser, totals, focus.
    void sync();
    // The number and the description as typed, in the book's code page, into the controller.
    // False when a character cannot be held; message then says which.
    bool takeTexts(std::string& message);

    QLineEdit* numberEdit() const { return m_number; }
    DateFieldEdit* dateEdit() const { return m_date; }
    QLineEdit* descriptionEdit() const { return m_description; }
    QLineEdit* differenceEdit() const { return m_difference; }
    QTableWidget* grid() const { return m_grid; }
    ChooserBox* chooser() const { return m_chooser; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QLabel* statusLabel() const { return m_status; }
    // "Alv-erittely", the window's switch, also offered in the row menu.
    void setSplitAction(QAction* action) { m_splitAction = action; }

  public slots:
    // The window's close does not throw the voucher away; Esc and "Peruuta" ask first.
    void reject() override {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Enter, Ctrl+Enter and Esc as the box as a whole takes them; true when consumed.
    bool boxKey(QKeyEvent* event);
    bool fieldEnter(QObject* watched, QKeyEvent* event);
    bool gridKey(QKeyEvent* event);
    bool chooserKey(QKeyEvent* event);
    bool gridMouse(QMouseEvent* event);
    void focusEntered(QObject* watched);
    void placeChooser();
    QWidget* focusWidgetOfEditor() const;

    VoucherEditor& m_editor;
    std::function<void()> m_okAction;
    std::function<void()> m_cancelAction;
    QLineEdit* m_number = nullptr;
    DateFieldEdit* m_date = nullptr;
    QLineEdit* m_description = nullptr;
    QLineEdit* m_difference = nullptr;
    QTableWidget* m_grid = nullptr;
    ChooserBox* m_chooser = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QLabel* m_status = nullptr;
    QAction* m_splitAction = nullptr;
    bool m_syncing = false;
};

} // namespace kp
