// doz-cli results --db PATH|URL [--since DATE] [--serial SN] [--json|--csv]
// [--stats]: the rows of an inspection station's results store, or their
// statistics, after the rows waiting in its local queue have been written.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace doz::cli {

// args: the arguments after the verb.
int RunResults(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace doz::cli
