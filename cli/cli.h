#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace spinalyst::cli {

// Runs one command line (without the program name) and returns the exit code. Results go to
// out, messages about failures to err.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace spinalyst::cli
