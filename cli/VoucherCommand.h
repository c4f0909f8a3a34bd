// "add-voucher" of kirjanpito-cli: one voucher posted through the voucher box's controller.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kp {

int AddVoucherCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kp
