// "Vie taulukkoon…": the page shown, written as a file a spreadsheet opens.
#include "app/Application.h"
#include "book/Win1252.h"
#include "output/SheetFile.h"

#include <memory>

namespace kp {
namespace {

// Pages longer than this are written off the window's thread, with a box that can cancel.
constexpr std::size_t kLongExportLines = 5000;

} // namespace

bool Application::exportSheetCommand() {
    const size_t slash = m_fileName.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : m_fileName.substr(0, slash + 1);
    const std::string caption = Win1252ToUtf8(kTabCaptions[static_cast<size_t>(m_activeTab)]);
    const FileChoice choice{
        {{"Excel-taulukko", "*.xlsx"}, {"CSV", "*.csv"}}, 0, "xlsx", folder + caption + ".xlsx"};
    const auto chosen = m_platform.chooseSaveFile(choice);
    if (!chosen)
        return false;
    std::string name = *chosen;
    const size_t dot = name.rfind('.');
    const size_t nameSlash = name.find_last_of('/');
    if (dot == std::string::npos || (nameSlash != std::string::npos && dot < nameSlash))
        name += ".xlsx";

    // The job owns its lines and its result: a cancelled export runs to its end unseen.
    auto job = std::make_shared<std::pair<ReportLines, FileResult>>(pageLines(), FileResult{});
    auto work = [job, name] { job->second = SavePageSheet(job->first, name, SheetFormatOf(name)); };
    if (job->first.size() < kLongExportLines)
        work();
    else if (!m_platform.runLong("Viedään taulukkoon " + name + "\u2026", work))
        return false;
    if (!job->second) {
        m_platform.showError(job->second.message);
        return false;
    }
    return true;
}

} // namespace kp
