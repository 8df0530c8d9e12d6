// doz-cli inspect --port COMn|DEVICE --criteria FILE.dozcheck --serial SN
// [--db PATH|URL] [--save-dir DIR] [--station NAME] [--json]: one part of an
// inspection station without its window. The sweep, the judgement, the
// part's measurement file and its result row.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "Cli_sweep.h"

namespace doz::cli {

constexpr int EXIT_NOT_MEASURED = 3;  // the sweep did not complete
constexpr int EXIT_NOT_KEPT = 4;      // judged, but its file or its row was lost

// The environment variable of the test of a power cut: set to 1, the
// process kills itself once the row is safe in the queue, before the store
// is tried. Read by inspect alone.
constexpr const char* kDieQueuedVariable = "DOZ_INSPECT_DIE_QUEUED";

int RunInspect(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RunInspectWith(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const TMeasureEnv& env);

}  // namespace doz::cli
