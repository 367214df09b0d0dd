// The wendrel command line: parses the options, fills the parameter record, grows the tree
// and writes what the output paths ask for. main() only forwards to run(), so that the tests
// can run the whole tool in-process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace wendrel {

enum ExitCode {
	EXIT_OK = 0,
	EXIT_FAILED = 1, // a tree too large to build, or a file that could not be written
	EXIT_USAGE = 2,	 // an unknown option, a malformed value, an unknown preset or format
};

// `args` excludes the program name. Results go to `out`, diagnostics to `err`.
int run(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace wendrel
