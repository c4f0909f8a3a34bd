// The page commands of kirjanpito-cli over a page session.
#include "cli/PageCommands.h"

#include "app/Application.h"
#include "app/HeadlessPlatform.h"
#include "app/PageSession.h"
#include "book/FileIo.h"
#include "book/IndentedText.h"
#include "output/LineExport.h"
#include "output/PlainTextJournal.h"
#include "output/SheetCells.h"
#include "output/SheetFile.h"

namespace kp {
namespace {

// Writes what the source makes to the stream a piece at a time.
bool WriteStream(std::ostream& out, const ByteSource& source) {
    return WriteInPieces(source, [&out](std::string_view piece) {
        return static_cast<bool>(
            out.write(piece.data(), static_cast<std::streamsize>(piece.size())));
    });
}

} // namespace

int PageCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    PageOptions o;
    if (!ParsePageOptions(args, o, err, false, args[0] == "export"))
        return 2;
    if (args[0] == "export" && !o.format) {
        // Text is written while the page is made: a long ledger or journal is never held whole.
        int rc = 0;
        const ByteSource source = [&](ByteSink& sink) {
            ReportLines none;
            rc = PageLines(o, err, none, nullptr, &sink);
            if (rc != 0)
                sink.fail(); // nothing was written: the target stays as it was
        };
        if (!o.output) {
            WriteStream(out, source);
            return rc;
        }
        const FileResult r = SaveLines(source, *o.output);
        if (rc == 0 && !r) {
            err << r.message << '\n';
            return 1;
        }
        return rc;
    }
    ReportLines lines;
    if (int rc = PageLines(o, err, lines); rc != 0)
        return rc;
    if (args[0] == "report") {
        out << LinesForTerminal(lines);
        return 0;
    }
    // A spreadsheet file: without -o, the file's bytes go to standard output.
    const SheetFormat format = *o.format == "csv" ? SheetFormat::Csv : SheetFormat::Xlsx;
    if (o.output) {
        if (FileResult r = SavePageSheet(lines, *o.output, format); !r) {
            err << r.message << '\n';
            return 1;
        }
        return 0;
    }
    if (format == SheetFormat::Csv) {
        WriteStream(out, [&lines](ByteSink& sink) { WritePageCsv(lines, sink); });
        return 0;
    }
    std::string bytes;
    if (FileResult r = PageToXlsx(lines, bytes); !r) {
        err << r.message << '\n';
        return 1;
    }
    out << bytes;
    return 0;
}

int PlainTextCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool toFile = args.size() == 5 && args[3] == "-o";
    if (args.size() != 3 && !toFile) {
        err << kPageUsage;
        return 2;
    }
    HeadlessPlatform platform(err);
    Application app(platform);
    app.setOneShot();
    if (!app.openBook(args[2]))
        return 1;
    std::vector<std::string> leftOut;
    const ByteSource source = [&](ByteSink& sink) {
        leftOut = WritePlainTextJournal(app.state().openBook, sink, &app.index());
    };
    if (!toFile) {
        WriteStream(out, source);
    } else if (FileResult r = WriteFileReplacing(args[4], source); !r) {
        err << r.message << '\n';
        return 1;
    }
    for (const std::string& why : leftOut)
        err << why << " \u2013 j\u00e4tettiin pois\n";
    return leftOut.empty() ? 0 : 1;
}

int ViewCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3 || (args[1] != "journal" && args[1] != "chart")) {
        err << kPageUsage;
        return 2;
    }
    HeadlessPlatform platform(err);
    Application app(platform);
    if (!app.openBook(args[2]))
        return 1;
    if (args[1] == "chart") {
        app.activatePage(Tab::Chart);
        out << FormatIndentedText(app.chart().tree());
    } else {
        app.journal().makeAllLines();
        out << FormatIndentedText(app.journal().tree());
    }
    return 0;
}

} // namespace kp
