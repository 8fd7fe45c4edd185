#pragma once
// A MEL subset with MEL's syntax: variables (int, float, string and their arrays), the
// usual operators, if/else, for, for-in, while, blocks, command syntax with flags,
// function syntax, back-quoted command results. An error prints Maya's batch-mode
// error line and execution goes on with the next statement.

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace mayahost::mel {

struct Value {
    enum Type { Int, Float, String, IntArray, FloatArray, StringArray } type = String;
    double number = 0;
    std::string text;
    std::vector<double> numbers;
    std::vector<std::string> texts;

    static Value integer(double v) { Value r; r.type = Int; r.number = v; return r; }
    static Value real(double v) { Value r; r.type = Float; r.number = v; return r; }
    static Value string(std::string s) { Value r; r.type = String; r.text = std::move(s); return r; }
    static Value strings(std::vector<std::string> s) { Value r; r.type = StringArray; r.texts = std::move(s); return r; }
    static Value reals(std::vector<double> v) { Value r; r.type = FloatArray; r.numbers = std::move(v); return r; }
    bool isArray() const { return type >= IntArray; }
    bool isNumber() const { return type == Int || type == Float; }
    std::string asString() const;
    double asNumber() const;
    std::vector<std::string> asStrings() const; // an array's items, or the one value
    // As Maya's command line shows a result: floats to six significant digits.
    std::string resultText() const;
};

struct Error {
    std::string message;
};

// The words of one command: flags ("-name") and values, in order.
struct Word {
    bool flag = false;
    std::string name;
    Value value;
};

struct FlagSpec {
    const char* shortName;
    const char* longName;
    int count; // values taken by the flag
};

class Args {
public:
    explicit Args(std::vector<Word> words) : words_(std::move(words)) {}
    // Sorts the words into flags and positional values; throws Error for an unknown flag
    // or a flag without its values.
    void parse(const std::string& command, std::initializer_list<FlagSpec> known);
    bool has(const std::string& longName) const { return flags_.count(longName) > 0; }
    const Value& flag(const std::string& longName, size_t i = 0) const;
    double number(const std::string& longName, double fallback, size_t i = 0) const;
    std::string text(const std::string& longName, const std::string& fallback = {}) const;
    const std::vector<Value>& positional() const { return positional_; }
    const std::vector<Word>& words() const { return words_; }
    std::vector<std::string> positionalStrings() const;

private:
    std::vector<Word> words_;
    std::map<std::string, std::vector<Value>> flags_;
    std::vector<Value> positional_;
};

using Command = std::function<Value(Args&)>;
void registerCommand(const std::string& name, Command command);
std::map<std::string, Command>& commandTable();
bool hasCommand(const std::string& name);

// Runs MEL source. Returns the value of the last statement; `errors` counts the errors.
Value run(const std::string& source, const std::string& file, int* errors = nullptr);
// Where text printed by MEL goes (stdout unless redirected by a test).
void setOutput(std::function<void(const std::string&)> sink);
void print(const std::string& text);
void printError(const std::string& text);

} // namespace mayahost::mel
