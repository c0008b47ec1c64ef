#include "base/Json.h"

#include <utility>

#include "base/Numbers.h"
#include "base/Text.h"

namespace karvello {

namespace {

// A text quoted in a message is cut after this many bytes.
constexpr std::size_t kMaxQuoted = 60;

std::string Quote(std::string_view text) {
    return karvello::Quote(text, kMaxQuoted);
}

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

class JsonReader {
  public:
    JsonReader(std::string_view text, std::string_view holds) : text_(text), holds_(holds) {}

    JsonValue Document() {
        pos_ = text_.size() - WithoutByteOrderMark(text_).size();
        JsonValue value = Value(0);
        SkipBlanks();
        if (pos_ < text_.size()) {
            Fail("more text after " + std::string(holds_));
        }
        return value;
    }

  private:
    [[noreturn]] void Fail(const std::string& problem) const { throw JsonError(line_, problem); }
    void SkipBlanks() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
            } else if (c != ' ' && c != '\t' && c != '\r') {
                return;
            }
            ++pos_;
        }
    }
    bool Take(char c) {
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void Expect(char c, const char* what) {
        if (!Take(c)) {
            Fail(std::string("expected ") + what);
        }
    }
    bool Word(std::string_view word) {
        if (text_.substr(pos_, word.size()) == word) {
            pos_ += word.size();
            return true;
        }
        return false;
    }

    JsonValue Value(int depth) {
        if (depth > kMaxJsonDepth) {
            Fail("the values are nested too deeply");
        }
        SkipBlanks();
        JsonValue value;
        value.Line = line_;
        if (pos_ >= text_.size()) {
            Fail("the text ends where a value should be");
        }
        const char c = text_[pos_];
        if (c == '{') {
            ++pos_;
            value.Kind = JsonValue::Type::Object;
            Fields(value, depth);
        } else if (c == '[') {
            ++pos_;
            value.Kind = JsonValue::Type::Array;
            if (Take(']')) {
                return value;
            }
            do {
                value.Items.push_back(Value(depth + 1));
            } while (Take(','));
            Expect(']', "',' or ']'");
        } else if (c == '"') {
            value.Kind = JsonValue::Type::Text;
            value.Text = String();
        } else if (Word("true")) {
            value.Kind = JsonValue::Type::Flag;
            value.Flag = true;
        } else if (Word("false")) {
            value.Kind = JsonValue::Type::Flag;
        } else if (Word("null")) {
            value.Kind = JsonValue::Type::Null;
        } else if (c == '-' || Digit(c)) {
            value.Kind = JsonValue::Type::Number;
            Number(value);
        } else {
            Fail("unexpected character " + Quote(text_.substr(pos_, 1)));
        }
        return value;
    }

    // The fields of an object whose '{' is read.
    void Fields(JsonValue& object, int depth) {
        if (Take('}')) {
            return;
        }
        do {
            SkipBlanks();
            if (pos_ >= text_.size() || text_[pos_] != '"') {
                Fail("expected a quoted field name");
            }
            std::string key = String();
            for (const JsonValue& field : object.Items) {
                if (field.Key == key) {
                    Fail("the field " + Quote(key) + " is given twice");
                }
            }
            Expect(':', "':' after a field name");
            object.Items.push_back(Value(depth + 1));
            object.Items.back().Key = std::move(key);
        } while (Take(','));
        Expect('}', "',' or '}'");
    }

    std::size_t Digits() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && Digit(text_[pos_])) {
            ++pos_;
        }
        return pos_ - start;
    }
    void Number(JsonValue& value) {
        const std::size_t start = pos_;
        if (text_[pos_] == '-') {
            ++pos_;
        }
        if (Digits() == 0) {
            Fail("a number needs digits");
        }
        value.Whole = true;
        if (pos_ < text_.size() && text_[pos_] == '.') {
            ++pos_;
            value.Whole = false;
            if (Digits() == 0) {
                Fail("a number needs digits after its point");
            }
        }
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            ++pos_;
            value.Whole = false;
            if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
                ++pos_;
            }
            if (Digits() == 0) {
                Fail("a number needs digits in its exponent");
            }
        }
        value.Text = std::string(text_.substr(start, pos_ - start));
    }

    std::uint32_t Hex4() {
        if (text_.size() - pos_ < 4) {
            Fail("\\u needs four hex digits");
        }
        std::uint32_t code = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = text_[pos_++];
            code <<= 4;
            if (Digit(h)) {
                code |= static_cast<std::uint32_t>(h - '0');
            } else if (h >= 'a' && h <= 'f') {
                code |= static_cast<std::uint32_t>(h - 'a' + 10);
            } else if (h >= 'A' && h <= 'F') {
                code |= static_cast<std::uint32_t>(h - 'A' + 10);
            } else {
                Fail("\\u needs four hex digits");
            }
        }
        return code;
    }
    // The character of a \u escape whose "\u" is read, a surrogate pair
    // taken whole.
    char32_t Escaped() {
        std::uint32_t code = Hex4();
        if (code >= 0xD800 && code < 0xDC00 && Word("\\u")) {
            const std::uint32_t low = Hex4();
            if (low < 0xDC00 || low >= 0xE000) {
                Fail("a surrogate pair is broken");
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        } else if (code >= 0xD800 && code < 0xE000) {
            Fail("a surrogate pair is broken");
        }
        return code;
    }
    std::string String() {
        ++pos_; // the opening quote
        std::string out;
        while (true) {
            if (pos_ >= text_.size() || text_[pos_] == '\n') {
                Fail("a text is not closed by '\"' on its line");
            }
            const char c = text_[pos_++];
            if (c == '"') {
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                Fail("a text holds a control character");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) {
                Fail("a text ends in '\\'");
            }
            const char e = text_[pos_++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u':
                AppendUtf8(out, Escaped());
                break;
            default:
                Fail("unknown escape " + Quote(std::string("\\") + e));
            }
        }
    }

    std::string_view text_;
    std::string_view holds_;
    std::size_t pos_ = 0;
    std::int64_t line_ = 1;
};

} // namespace

JsonError::JsonError(std::int64_t line, const std::string& problem)
    : KarvelloError("line " + DecimalText(line) + ": " + problem + "."), line_(line),
      problem_(problem) {}

JsonValue ParseJson(std::string_view text, std::string_view holds) {
    return JsonReader(text, holds).Document();
}

void AppendJsonText(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

} // namespace karvello
