// The rows and statistics of a results store as doz-cli results prints them:
// a text table, CSV or JSON on standard output.
#pragma once

#include <ostream>
#include <vector>

#include "Result_row.h"
#include "Result_stats.h"

namespace doz::cli {

// One line a row: time, verdict, serial, station, criteria, values, and
// after "|" the reasons or the error.
void PrintRowsText(const std::vector<results::TResultRow>& rows, std::ostream& out);
// A head line, then one line a row; a column for each fitted value name met.
void PrintRowsCsv(const std::vector<results::TResultRow>& rows, std::ostream& out);
void PrintRowsJson(const std::vector<results::TResultRow>& rows, std::ostream& out);

void PrintStatsText(const results::TBatchStats& stats, std::ostream& out);
void PrintStatsJson(const results::TBatchStats& stats, std::ostream& out);

}  // namespace doz::cli
