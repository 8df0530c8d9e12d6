// doz-cli export FILE.DTA [-o OUT.txt] [--no-average] [--force]
// [--format tsv|csv|zma|touchstone]: the text table the application's export
// command writes, or the measurement in a format other programs read.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace doz::cli {

// args: the arguments after the verb.
int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// Default output: the input's folder, the input's name up to its first dot,
// the extension.
std::string DefaultExportName(const std::string& input, const std::string& extension = ".txt");

}  // namespace doz::cli
