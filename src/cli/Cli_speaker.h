// doz-cli speaker FREE.DTA [--added-mass GRAMS LOADED.DTA | --box-volume
// LITRES BOXED.DTA] [--sd CM2] [--json]: a loudspeaker's Thiele–Small
// parameters, and with a second sweep its mechanical ones.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace doz::cli {

// args: the arguments after the verb.
int RunSpeaker(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace doz::cli
