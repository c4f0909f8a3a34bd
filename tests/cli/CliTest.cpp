// Placeholder until the command-line tests arrive.
#include "cli/CliApp.h"

#include <gtest/gtest.h>
#include <sstream>

TEST(Cli, UnknownCommandFails) {
    std::ostringstream out, err;
    EXPECT_EQ(kp::RunCli({"xyz"}, out, err), 2);
}
