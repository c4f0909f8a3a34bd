// "Palauta varmuuskopio…" and the timer that keeps a recovery copy of unsaved changes.
#include "qt/MainWindow.h"
#include "qt/QtText.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kp {
namespace {

// The versions, newest first, one row each: date, time, size and vouchers; OK opens the chosen.
class BackupDialog : public QDialog {
  public:
    BackupDialog(const std::vector<BackupEntry>& backups, QWidget* parent) : QDialog(parent) {
        setWindowTitle(QStringLiteral("Palauta varmuuskopio"));
        m_list = new QTreeWidget(this);
        m_list->setRootIsDecorated(false);
        m_list->setHeaderLabels({QStringLiteral("Päivä"), QStringLiteral("Aika"),
                                 QStringLiteral("Koko"), QStringLiteral("Tositteita")});
        const QLocale finnish(QLocale::Finnish, QLocale::Finland);
        for (const BackupEntry& entry : backups) {
            const int vouchers = CountVouchers(entry.file);
            auto* row = new QTreeWidgetItem(
                m_list,
                {QString::fromStdString(entry.dateText()), QString::fromStdString(entry.timeText()),
                 finnish.formattedDataSize(static_cast<qint64>(entry.size)),
                 vouchers < 0 ? QStringLiteral("ei luettavissa") : QString::number(vouchers)});
            row->setToolTip(0, QString::fromStdString(entry.file.string()));
        }
        m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        m_list->setCurrentItem(m_list->topLevelItem(0));
        auto* buttons = new QDialogButtonBox(this);
        buttons->addButton(QStringLiteral("Avaa"), QDialogButtonBox::AcceptRole);
        buttons->addButton(QStringLiteral("Peruuta"), QDialogButtonBox::RejectRole);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(m_list, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_list);
        layout->addWidget(buttons);
        resize(480, 320);
    }
    int chosen() const { return m_list->indexOfTopLevelItem(m_list->currentItem()); }

  private:
    QTreeWidget* m_list = nullptr;
};

} // namespace

void MainWindow::restoreBackupCommand() {
    const std::vector<BackupEntry> backups = m_app.backups();
    if (backups.empty()) {
        m_platform.showMessage(m_app.fileName().empty()
                                   ? "Kirjaa ei ole tallennettu, joten sill\u00e4 ei ole "
                                     "varmuuskopioita."
                                   : "Kirjalla ei ole varmuuskopioita.");
        return;
    }
    BackupDialog dialog(backups, this);
    if (dialog.exec() != QDialog::Accepted || dialog.chosen() < 0)
        return;
    const BackupEntry chosen = backups[static_cast<size_t>(dialog.chosen())];
    run([&] { m_app.restoreBackup(chosen); });
}

void MainWindow::startRecovery() {
    m_app.enableRecovery(RecoveryFolder(UserStateFolder()));
    run([this] { m_app.offerRecovery(); });
    // Checking costs a few comparisons; a copy is handed to the writer's thread only when due.
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { m_app.keepRecoveryCopy(); });
    timer->start(2000);
}

} // namespace kp
