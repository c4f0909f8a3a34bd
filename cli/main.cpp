// Entry point of kirjanpito-cli.
#include "cli/CliApp.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    // A closed pipe is a failed write to report, not a silent end of the program.
    std::signal(SIGPIPE, SIG_IGN);
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    errno = 0;
    int rc = kp::RunCli(args, std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout) {
        const int error = errno;
        std::cerr << "Tulostus ep\u00e4onnistui"
                  << (error ? std::string(": ") + std::strerror(error) : std::string()) << '\n';
        rc = rc ? rc : 1;
    }
    return rc;
}
