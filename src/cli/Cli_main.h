// doz-cli: the measurement files from the command line. One verb per run.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace doz::cli {

// args: the command line without the program name. Returns the exit code:
// 0 done, 1 failed, 2 usage error.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace doz::cli
