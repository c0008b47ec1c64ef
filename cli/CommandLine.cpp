#include "cli/CommandLine.h"

#include <ostream>

namespace karvello {

int RunCommandLine(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
    err << "karvello: not built yet\n";
    return 1;
}

} // namespace karvello
