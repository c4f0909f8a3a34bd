// kirjanpito-cli: the headless commands over the core.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kp {

// Runs one command line (without the program name). Output is UTF-8 text or the exact bytes a
// command writes; errors go to err with a non-zero result.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kp
