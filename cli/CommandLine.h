#pragma once
// The command line: karvello info|maps|draw ...

#include <iosfwd>
#include <string>
#include <vector>

namespace karvello {

// Runs the command line given by args (without the program name), writing to
// out and err. Returns the exit status: 0 success, 1 error (a command that
// fails, or out refusing what was written to it), 2 usage error.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace karvello
