#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A small JSON document model with a strict reader and a readable writer, for exchanging systems
// as text. Objects keep their members in the order they were read or added. Numbers written
// without fraction or exponent that fit 64 bits are integers; every other number is a double.
namespace spinalyst::json {

class Value {
  public:
    enum class Type { Null, Bool, Integer, Number, String, Array, Object };

    Value() = default;
    Value(std::nullptr_t) {}
    Value(bool b) : type_(Type::Bool), bool_(b) {}
    Value(int i) : type_(Type::Integer), integer_(i) {}
    Value(std::int64_t i) : type_(Type::Integer), integer_(i) {}
    Value(double d) : type_(Type::Number), number_(d) {}
    Value(std::string s) : type_(Type::String), string_(std::move(s)) {}
    Value(const char* s) : type_(Type::String), string_(s) {}
    static Value array() { return Value(Type::Array); }
    static Value object() { return Value(Type::Object); }

    Type type() const { return type_; }
    bool isNull() const { return type_ == Type::Null; }
    bool isInteger() const { return type_ == Type::Integer; }
    bool isString() const { return type_ == Type::String; }
    bool isArray() const { return type_ == Type::Array; }
    bool isObject() const { return type_ == Type::Object; }

    // Each requires the matching type.
    bool boolean() const { return bool_; }
    std::int64_t integer() const { return integer_; }
    double number() const {
        return type_ == Type::Integer ? static_cast<double>(integer_) : number_;
    }
    const std::string& string() const { return string_; }

    // Array items, or object member values (in member order).
    const std::vector<Value>& items() const { return items_; }
    std::size_t size() const { return items_.size(); }
    void push(Value v) { items_.push_back(std::move(v)); }

    // Object members. set() replaces a member of the same key or appends a new one.
    const std::vector<std::string>& keys() const { return keys_; }
    const Value* find(std::string_view key) const;
    void set(std::string key, Value v);

    bool operator==(const Value& other) const = default;

  private:
    explicit Value(Type t) : type_(t) {}

    Type type_ = Type::Null;
    bool bool_ = false;
    std::int64_t integer_ = 0;
    double number_ = 0;
    std::string string_;
    std::vector<std::string> keys_;  // objects: the keys, parallel to items_
    std::vector<Value> items_;
};

// A text that is not one valid JSON document. line and column count from 1.
class ParseError : public std::runtime_error {
  public:
    ParseError(const std::string& message, int line, int column);
    int line() const { return line_; }
    int column() const { return column_; }

  private:
    int line_;
    int column_;
};

// Reads exactly one JSON value (white space around it allowed). Rejects duplicate keys, control
// characters in strings, lone surrogates, nesting deeper than 64 and anything after the value.
Value parse(std::string_view text);

// Writes a value indented by two spaces per level; an array or object of scalars that fits in a
// short line is written on one line. No trailing newline.
std::string write(const Value& value);

// A one-line description of a value's type ("a string", "a number", ...) for messages.
const char* typeName(const Value& value);

}  // namespace spinalyst::json
