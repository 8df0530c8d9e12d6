#include <clocale>
#include <iostream>

#include "Cli_main.h"
#include "Cli_stderr.h"

int main(int argc, char** argv) {
  // The system's texts for a file that cannot be read, in the user's language.
  std::setlocale(LC_MESSAGES, "");
  doz::cli::TakeOverStderr();
  return doz::cli::RunCli({argv + 1, argv + argc}, std::cout, std::cerr);
}
