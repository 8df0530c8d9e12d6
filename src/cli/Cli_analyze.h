// doz-cli analyze FILE.DTA [--model M] [--json] [--no-average]: the
// equivalent circuit fitted to a measurement, and its resonances.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace doz::cli {

// args: the arguments after the verb.
int RunAnalyze(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace doz::cli
