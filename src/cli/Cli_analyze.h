// doz-cli analyze FILE.DTA... [--model M] [--start LIST] [--json]: the
// equivalent circuit fitted to each measurement, its resonances and how far
// they can be trusted.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "Analysis_report.h"

namespace doz::cli {

// The report as one line of JSON, with the file it is of.
void PrintAnalysisJson(const analysis::TAnalysisReport& report, const std::string& file,
                       std::ostream& out);

// args: the arguments after the verb.
int RunAnalyze(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace doz::cli
