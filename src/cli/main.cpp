#include <iostream>

#include "Cli_main.h"

int main(int argc, char** argv) {
  return doz::cli::RunCli({argv + 1, argv + argc}, std::cout, std::cerr);
}
