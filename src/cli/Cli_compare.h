// doz-cli compare FILE.DTA... REFERENCE.DTA [--tolerance PERCENT]
// [--phase-tolerance DEGREES] [--json] [--no-average]: a measurement
// checked against a reference. The comparison and its report are here for
// any verb that checks a measurement against a reference file.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Cli_args.h"
#include "Doz_setting.h"
#include "Set_comparator.h"

namespace doz::cli {

struct TCompareOptions {
  analysis::TTolerance tolerance;
  bool json = false;
  std::string file;  // named in the JSON, when not empty
};

// --tolerance and --phase-tolerance, both taking a value.
const std::vector<TCliOption>& ToleranceOptions();
// The tolerances of the parsed arguments (5 % and 5° when absent); nothing,
// and a one-line reason, for a value that is not a number of at least 0.
std::optional<analysis::TTolerance> TolerancesOf(const TCliArgs& parsed, std::string& reason);

// Compares and prints the report (text or JSON) on out. Returns the exit
// code: 0 every common point within the tolerances, 1 any outside, 2 no
// common point (said on err, after the verb's name).
int CompareAndReport(const TCalcData& measured, const TCalcData& reference,
                     const TCompareOptions& options, const std::string& verb, std::ostream& out,
                     std::ostream& err);

// args: the arguments after the verb.
int RunCompare(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace doz::cli
