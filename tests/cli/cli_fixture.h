#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace spinalyst::cli::testing {

// What one command line printed and returned.
struct Result {
    int code;
    std::string out;
    std::string err;
};

inline Result runCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = run(args, out, err);
    return {code, out.str(), err.str()};
}

}  // namespace spinalyst::cli::testing
