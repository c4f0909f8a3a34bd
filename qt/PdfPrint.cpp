// The PDF command over the print job and a PDF writer.
#include "qt/PdfPrint.h"

#include "app/PageSession.h"
#include "qt/PrinterDevice.h"
#include "qt/QtText.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace kp {
namespace {

constexpr int kPdfResolution = 300;

// The answers a PDF run gives: the statement's accounts, and the one "printer" there is.
class PdfQuestions : public PrintQuestions {
  public:
    explicit PdfQuestions(std::optional<std::string> accounts) : m_accounts(std::move(accounts)) {}
    std::optional<std::string> askText(const InputRequest&) override { return m_accounts; }
    bool choosePrinter() override { return true; }

  private:
    std::optional<std::string> m_accounts;
};

} // namespace

int PdfCommand(const std::vector<std::string>& args, std::ostream& err) {
    PageOptions o;
    if (!ParsePageOptions(args, o, err, true))
        return 2;
    if (!o.output) {
        err << "PDF-tiedosto puuttuu: -o TIEDOSTO.pdf\n";
        return 2;
    }
    if (o.statement && o.page != "ledger") {
        err << "--statement koskee vain sivua ledger\n";
        return 2;
    }
    ReportLines lines;
    PrintPage page;
    if (int rc = PageLines(o, err, lines, &page); rc != 0)
        return rc;
    page.accountStatement = o.statement.has_value();

    QPdfWriter writer(FromUtf8(*o.output));
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    PrinterDevice device(writer, FromUtf8(*o.output));
    PdfQuestions questions(o.statement);
    int block = 0;
    const PageSwitchHooks hooks{[&block] { ++block; }, [&block] { --block; }};
    const PrintOutcome outcome =
        page.page == 1 ? PrintJournal([&lines] { return lines; }, page, device, questions, hooks)
                       : RunPrintJob(lines, page, device, questions, hooks);
    switch (outcome.status) {
    case PrintStatus::Printed:
        return 0;
    case PrintStatus::NothingToPrint:
        err << "Sivulla ei ole tulostettavaa\n";
        break;
    case PrintStatus::NoAccounts:
        err << "Tilinumerot puuttuvat\n";
        break;
    case PrintStatus::Cancelled:
    case PrintStatus::Stopped:
        err << "Tulostus peruttiin\n";
        break;
    case PrintStatus::DeviceFailed:
        err << "Tiedostoa " << *o.output << " ei voi kirjoittaa\n";
        break;
    case PrintStatus::NoRoom:
        err << "Marginaalit eivät jätä tilaa riville\n";
        break;
    }
    return 1;
}

} // namespace kp
