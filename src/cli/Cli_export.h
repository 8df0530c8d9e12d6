// doz-cli export FILE.DTA [-o OUT.txt] [--no-average] [--force]: the text
// table the application's export command writes.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace doz::cli {

// args: the arguments after the verb.
int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// Default output: the input's folder, the input's name up to its first dot, ".txt".
std::string DefaultExportName(const std::string& input);

}  // namespace doz::cli
