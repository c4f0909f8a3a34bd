// The year-end commands of kirjanpito-cli: new fiscal year, new company, VAT rate change.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kp {

int NewYearCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int NewCompanyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int VatRateCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kp
