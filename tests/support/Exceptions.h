#pragma once
// The one way the tests look at an exception: ThrownMessage for the text a
// user reads, compared whole with EXPECT_EQ; Thrown for an exception that
// carries data beside its message.

#include <optional>
#include <string>

#include "base/Error.h"

namespace karvello::test {

// The exception of type E that fn throws, or nothing when fn returns. An
// exception of any other type passes through, and GoogleTest reports it as
// a failure of the test.
template <typename E = KarvelloError, typename Fn> std::optional<E> Thrown(Fn&& fn) {
    try {
        fn();
    } catch (const E& error) {
        return error;
    }
    return std::nullopt;
}

// What the exception of type E thrown by fn says; "(nothing was thrown)"
// when fn returns, which no expected message equals.
template <typename E = KarvelloError, typename Fn> std::string ThrownMessage(Fn&& fn) {
    const std::optional<E> error = Thrown<E>(fn);
    return error ? std::string(error->what()) : std::string("(nothing was thrown)");
}

} // namespace karvello::test
