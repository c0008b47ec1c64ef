#pragma once
// One exception type for every failure the user sees. Its message is the
// text shown to the user, ready as it stands.

#include <stdexcept>
#include <string>

namespace karvello {

class KarvelloError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace karvello
