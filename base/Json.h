#pragma once
// A small JSON reader and the writing of a JSON text: the syntax only, apart
// from what a file's values mean. The reader gives a tree of values, each
// with the line it starts on, so that whoever reads their meaning can name
// the line of a value it refuses.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Error.h"

namespace karvello {

// One value of a JSON text.
struct JsonValue {
    enum class Type { Null, Flag, Number, Text, Array, Object };

    Type Kind = Type::Null;
    bool Flag = false;
    // A text's characters (UTF-8, escapes resolved), or a number as written.
    std::string Text;
    // A number written without a fraction or an exponent.
    bool Whole = false;
    // An array's items, or an object's fields in the order written.
    std::vector<JsonValue> Items;
    // The name of a field of an object; empty for any other value.
    std::string Key;
    // The line the value starts on, counted from 1.
    std::int64_t Line = 1;
};

// A text that is not JSON: the line where reading stopped and what is wrong
// there, a phrase such as "expected ',' or '}'". what() gives both.
class JsonError : public KarvelloError {
  public:
    JsonError(std::int64_t line, const std::string& problem);
    std::int64_t Line() const { return line_; }
    const std::string& Problem() const { return problem_; }

  private:
    std::int64_t line_;
    std::string problem_;
};

// Arrays and objects nested deeper than this are refused, so that a hostile
// text cannot exhaust the stack.
inline constexpr int kMaxJsonDepth = 16;

// Reads text as one JSON value, skipping a byte order mark at its start and
// blanks around the value; holds names what the value is for the message on
// text after it ("more text after the settings"). A field name given twice in
// one object is refused, and a text must close on the line it opens. Throws
// JsonError.
JsonValue ParseJson(std::string_view text, std::string_view holds = "the value");

// Appends text as a JSON string: quoted, with '"' and '\' escaped and every
// control character written \u00XX. Other bytes go as they are.
void AppendJsonText(std::string& out, std::string_view text);

} // namespace karvello
