// doz-cli info FILE.DTA: what a measurement file holds.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace doz::cli {

// args: the arguments after the verb.
int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace doz::cli
