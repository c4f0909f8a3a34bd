// Entry point of kirjanpito-cli.
#include "cli/CliApp.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int rc = kp::RunCli(args, std::cout, std::cerr);
    std::cout.flush();
    return rc;
}
