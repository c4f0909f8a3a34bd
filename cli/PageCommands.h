// The page commands of kirjanpito-cli: export, report and view.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kp {

int ExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int ReportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int ViewCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kp
