// The main window's "Tulosta" entries: the print job over the printer the print dialog chose.
#include "ledger/ChartView.h"
#include "qt/MainWindow.h"
#include "qt/PrinterDevice.h"
#include "qt/ProgressBox.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kp {
namespace {

// The job's questions through the window: input boxes through the platform, the printer
// through the print dialog with its copy count reset.
class WindowQuestions : public PrintQuestions {
  public:
    WindowQuestions(Platform& platform, QPrinter& printer, const MainWindow::PrinterChooser& choose,
                    QWidget* parent)
        : m_platform(platform), m_printer(printer), m_choose(choose), m_parent(parent),
          m_progress(parent, QStringLiteral("Tulostetaan\u2026")) {}

    std::optional<std::string> askText(const InputRequest& request) override {
        return m_platform.inputBox(request.caption, request.prompt, request.preset);
    }
    bool choosePrinter() override {
        m_printer.setCopyCount(1);
        if (m_choose)
            return m_choose(m_printer);
        QPrintDialog dialog(&m_printer, m_parent);
        return dialog.exec() == QDialog::Accepted;
    }
    bool goOn(size_t done, size_t total) override { return m_progress.step(done, total); }

  private:
    Platform& m_platform;
    QPrinter& m_printer;
    const MainWindow::PrinterChooser& m_choose;
    QWidget* m_parent;
    ProgressBox m_progress;
};

// The chart's choice box "Tilikartta": "Luettelo" (checked) or "Kartta"; none when cancelled.
std::optional<ChartPrintout> AskChartPrintout(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Tilikartta"));
    auto* group = new QGroupBox(QStringLiteral("Tilikartta"), &dialog);
    auto* list = new QRadioButton(QStringLiteral("Luettelo"), group);
    auto* map = new QRadioButton(QStringLiteral("Kartta"), group);
    list->setChecked(true);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(list);
    groupLayout->addWidget(map);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Peruuta"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(group);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return map->isChecked() ? ChartPrintout::Map : ChartPrintout::List;
}

} // namespace

void MainWindow::printCommand(int tag) {
    if (!m_app.pageControlVisible())
        return;
    switch (m_app.state().currentPage) {
    case Page::Chart:
        if (const auto chart = AskChartPrintout(this))
            printLines(0, *chart);
        break;
    case Page::Journal:
        hideTabStops();
        // The period chooser prints on its OK; the journal under it stays as it is.
        run([this] { m_app.chooser().show({"P\xE4iv\xE4kirjan tulostus", 130, 0}); }, 0);
        break;
    default:
        printLines(tag);
        break;
    }
}

PrintOutcome MainWindow::printLines(int tag, ChartPrintout chart) {
    const int pageNumber = static_cast<int>(m_app.state().currentPage);
    PrintPage page = m_app.printPage(pageNumber);
    page.chart = chart;
    page.accountStatement = pageNumber == 2 && tag == 1;
    const ReportLines lines = pageNumber == 0 && chart == ChartPrintout::Map
                                  ? ChartMapLines(m_app.chart())
                                  : m_app.pageLines();
    return print([&](PrintDevice& device, PrintQuestions& questions, const PageSwitchHooks& hooks) {
        return RunPrintJob(lines, page, device, questions, hooks);
    });
}

void MainWindow::printJournal() {
    const PrintPage page = m_app.printPage(static_cast<int>(Page::Journal));
    print([&](PrintDevice& device, PrintQuestions& questions, const PageSwitchHooks& hooks) {
        return PrintJournal(
            [this] {
                return m_app.journalListing(m_app.chooser().monthIndex(),
                                            m_app.chooser().periodText());
            },
            page, device, questions, hooks);
    });
}

PrintOutcome MainWindow::print(
    const std::function<PrintOutcome(PrintDevice&, PrintQuestions&, const PageSwitchHooks&)>& job) {
    QPrinter printer(QPrinter::HighResolution);
    PrinterDevice device(printer);
    WindowQuestions questions(m_platform, printer, m_choosePrinter, this);
    const PageSwitchHooks hooks{[this] { m_app.state().raisePageSwitchBlock(); },
                                [this] { m_app.state().lowerPageSwitchBlock(); }};
    const PrintOutcome outcome = job(device, questions, hooks);
    // What went wrong is said; a cancelled dialog or an empty page needs no message.
    if (outcome.status == PrintStatus::DeviceFailed ||
        (outcome.status == PrintStatus::Printed && printer.printerState() == QPrinter::Error))
        m_platform.showError(
            "Tulostus ep\u00e4onnistui: tulostinta ei saatu k\u00e4ytt\u00f6\u00f6n.");
    else if (outcome.status == PrintStatus::NoRoom)
        m_platform.showError("Sivulle ei mahdu rivej\u00e4: pienenn\u00e4 marginaaleja tai "
                             "otsikkorivien m\u00e4\u00e4r\u00e4\u00e4 (Tulostusaset..).");
    return outcome;
}

} // namespace kp
