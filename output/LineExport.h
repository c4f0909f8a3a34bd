// Report lines as the bytes that "Tallenna csv" writes and "Kopioi kaikki" copies.
#pragma once

#include "book/FileIo.h"
#include "book/FileResult.h"
#include "book/ReportLines.h"

#include <string>

namespace kp {

// Every line followed by CR LF, Windows-1252, markers and TABs unchanged.
std::string LinesToText(const ReportLines& lines);
void WriteLinesText(const ReportLines& lines, ByteSink& sink);

FileResult SaveLines(const ReportLines& lines, const std::string& fileName);
// The same for lines made while they are written.
FileResult SaveLines(const ByteSource& source, const std::string& fileName);

// For a person at a terminal: UTF-8, style markers dropped, TAB-separated columns padded to a
// common width per column, amounts (fields after the first three) aligned right.
std::string LinesForTerminal(const ReportLines& lines);

} // namespace kp
