// Report lines as the bytes that "Tallenna csv" writes and "Kopioi kaikki" copies.
#include "output/LineExport.h"

#include "book/FileIo.h"
#include "book/Win1252.h"

#include <algorithm>
#include <vector>

namespace kp {

std::string LinesToText(const ReportLines& lines) {
    std::string text;
    text.reserve(lines.byteSize() + 2 * lines.size());
    ByteSink sink(text);
    WriteLinesText(lines, sink);
    return text;
}

void WriteLinesText(const ReportLines& lines, ByteSink& sink) {
    for (std::string_view line : lines)
        sink << line << "\r\n";
}

FileResult SaveLines(const ReportLines& lines, const std::string& fileName) {
    return SaveLines([&lines](ByteSink& sink) { WriteLinesText(lines, sink); }, fileName);
}

FileResult SaveLines(const ByteSource& source, const std::string& fileName) {
    if (FileResult r = WriteFileReplacing(fileName, source); !r)
        return FileResult::failure("Cannot create file " + fileName + "\n" + r.message);
    return FileResult::success();
}

namespace {

size_t Utf8Width(std::string_view s) {
    size_t n = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    return n;
}

bool LooksLikeAmount(std::string_view s) {
    if (s.empty())
        return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == ',' || c == '-'))
            return false;
    return s.find(',') != std::string_view::npos;
}

} // namespace

std::string LinesForTerminal(const ReportLines& lines) {
    std::vector<std::vector<std::string>> rows;
    rows.reserve(lines.size());
    std::vector<size_t> widths;
    for (std::string_view line : lines) {
        if (!line.empty() && (line[0] == kBoldMarker || line[0] == kBoldUnderlineMarker))
            line.remove_prefix(1);
        std::vector<std::string> fields;
        size_t start = 0;
        while (true) {
            const size_t tab = line.find('\t', start);
            fields.push_back(Win1252ToUtf8(line.substr(start, tab - start)));
            if (tab == std::string_view::npos)
                break;
            start = tab + 1;
        }
        // Only fields followed by another field set a column's width: a title or a line's
        // last text (a long description) runs on without widening the columns of others.
        if (fields.size() > 1)
            for (size_t i = 0; i < fields.size(); ++i) {
                if (i + 1 == fields.size() && !LooksLikeAmount(fields[i]))
                    break;
                if (widths.size() <= i)
                    widths.push_back(0);
                widths[i] = std::max(widths[i], Utf8Width(fields[i]));
            }
        rows.push_back(std::move(fields));
    }
    std::string out;
    for (const auto& fields : rows) {
        std::string line;
        if (fields.size() == 1) {
            line = fields[0];
        } else {
            for (size_t i = 0; i < fields.size(); ++i) {
                const size_t width = i < widths.size() ? widths[i] : 0;
                const size_t pad = width > Utf8Width(fields[i]) ? width - Utf8Width(fields[i]) : 0;
                if (i > 0)
                    line += "  ";
                if (LooksLikeAmount(fields[i]) || (fields[i].empty() && i + 1 < fields.size()))
                    line.append(pad, ' ').append(fields[i]);
                else if (i + 1 < fields.size())
                    line.append(fields[i]).append(pad, ' ');
                else
                    line.append(fields[i]);
            }
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out += line;
        out += '\n';
    }
    return out;
}

} // namespace kp
