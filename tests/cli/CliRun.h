// Runs kirjanpito-cli in-process and keeps what it wrote, for the command-line tests.
#pragma once

#include "cli/CliApp.h"

#include <sstream>
#include <string>
#include <vector>

namespace kp {

inline const std::string kSourceDir = KP_SOURCE_DIR;
inline const std::string kExampleBook = kSourceDir + "/examples/esimerkki-2026.tlk";
inline const std::string kExampleLastYear = kSourceDir + "/examples/esimerkki-2025.tlk";

struct CliResult {
    int rc;
    std::string out;
    std::string err;
};

inline CliResult Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int rc = RunCli(args, out, err);
    return {rc, out.str(), err.str()};
}

} // namespace kp
