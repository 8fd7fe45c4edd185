#include "Mel.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace mayahost::mel {

// --- Values and arguments ------------------------------------------------------------

static std::string formatNumber(double v, bool integer) {
    if (integer) return std::to_string(static_cast<long long>(v));
    char text[64];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

std::string Value::asString() const {
    switch (type) {
    case Int: return formatNumber(number, true);
    case Float: return formatNumber(number, false);
    case String: return text;
    default: {
        auto items = asStrings();
        std::string out;
        for (const auto& s : items) out += (out.empty() ? "" : " ") + s;
        return out;
    }
    }
}

double Value::asNumber() const {
    if (isNumber()) return number;
    if (type == String) return std::atof(text.c_str());
    if (!numbers.empty()) return numbers.front();
    if (!texts.empty()) return std::atof(texts.front().c_str());
    return 0;
}

std::vector<std::string> Value::asStrings() const {
    switch (type) {
    case IntArray: { std::vector<std::string> v; for (double n : numbers) v.push_back(formatNumber(n, true)); return v; }
    case FloatArray: { std::vector<std::string> v; for (double n : numbers) v.push_back(formatNumber(n, false)); return v; }
    case StringArray: return texts;
    default: return {asString()};
    }
}

void Args::parse(const std::string& command, std::initializer_list<FlagSpec> specs) {
    for (size_t i = 0; i < words_.size(); ++i) {
        const Word& w = words_[i];
        if (!w.flag) {
            if (w.value.isArray()) {
                for (const auto& s : w.value.asStrings()) positional_.push_back(Value::string(s));
            } else {
                positional_.push_back(w.value);
            }
            continue;
        }
        const FlagSpec* spec = nullptr;
        for (const FlagSpec& s : specs)
            if (w.name == s.shortName || w.name == s.longName) spec = &s;
        if (!spec) throw Error{"Invalid flag '-" + w.name + "'"};
        auto& values = flags_[spec->longName];
        for (int k = 0; k < spec->count; ++k) {
            if (i + 1 >= words_.size() || words_[i + 1].flag)
                throw Error{"Flag '-" + w.name + "' must be passed a value for command \"" + command + "\"."};
            values.push_back(words_[++i].value);
        }
    }
}

const Value& Args::flag(const std::string& longName, size_t i) const {
    static const Value none;
    auto it = flags_.find(longName);
    return it == flags_.end() || i >= it->second.size() ? none : it->second[i];
}

double Args::number(const std::string& longName, double fallback, size_t i) const {
    auto it = flags_.find(longName);
    if (it == flags_.end() || i >= it->second.size()) return fallback;
    const Value& v = it->second[i];
    if (v.type == Value::String) {
        const char* s = v.text.c_str();
        char* end = nullptr;
        double d = std::strtod(s, &end);
        if (end == s || *end) {
            if (v.text == "true" || v.text == "on" || v.text == "yes") return 1;
            if (v.text == "false" || v.text == "off" || v.text == "no") return 0;
            throw Error{"Invalid argument for flag '-" + longName + "': " + v.text};
        }
        return d;
    }
    return v.asNumber();
}

std::string Args::text(const std::string& longName, const std::string& fallback) const {
    auto it = flags_.find(longName);
    return it == flags_.end() || it->second.empty() ? fallback : it->second.front().asString();
}

std::vector<std::string> Args::positionalStrings() const {
    std::vector<std::string> out;
    for (const auto& v : positional_) out.push_back(v.asString());
    return out;
}

static std::map<std::string, Command>& commands() {
    static std::map<std::string, Command> table;
    return table;
}

void registerCommand(const std::string& name, Command command) { commands()[name] = std::move(command); }
bool hasCommand(const std::string& name) { return commands().count(name) > 0; }

static std::function<void(const std::string&)>& outputSink() {
    static std::function<void(const std::string&)> sink = [](const std::string& s) {
        std::fputs(s.c_str(), stdout);
        std::fflush(stdout);
    };
    return sink;
}

void setOutput(std::function<void(const std::string&)> sink) { outputSink() = std::move(sink); }
void print(const std::string& text) { outputSink()(text); }
void printError(const std::string& text) { outputSink()("// Error: " + text + " //\n"); }

// --- Interpreter ---------------------------------------------------------------------

namespace {

struct Variable {
    Value value;
};

class Interpreter {
public:
    Interpreter(const std::string& src, const std::string& file) : s_(src), file_(file) { scopes_.emplace_back(); }

    Value runAll(int* errors) {
        Value last;
        while (skipSpace(), pos_ < s_.size()) last = statement(true);
        if (errors) *errors = errors_;
        return last;
    }

private:
    const std::string& s_;
    std::string file_;
    size_t pos_ = 0;
    int errors_ = 0;
    std::vector<std::map<std::string, Variable>> scopes_;

    [[noreturn]] void fail(const std::string& message) { throw Error{message}; }

    int lineAt(size_t p) const {
        int line = 1;
        for (size_t i = 0; i < p && i < s_.size(); ++i) line += s_[i] == '\n';
        return line;
    }

    void report(const Error& e, size_t at) {
        ++errors_;
        std::string where = file_.empty() ? "line " + std::to_string(lineAt(at))
                                          : "file: " + file_ + " line " + std::to_string(lineAt(at));
        printError(where + ": " + e.message);
    }

    char peek(size_t ahead = 0) const { return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : '\0'; }

    void skipSpace() {
        for (;;) {
            while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
            if (peek() == '/' && peek(1) == '/') {
                while (pos_ < s_.size() && s_[pos_] != '\n') ++pos_;
            } else if (peek() == '/' && peek(1) == '*') {
                auto end = s_.find("*/", pos_ + 2);
                pos_ = end == std::string::npos ? s_.size() : end + 2;
            } else {
                return;
            }
        }
    }

    bool accept(const char* token) {
        skipSpace();
        size_t n = std::char_traits<char>::length(token);
        if (s_.compare(pos_, n, token) != 0) return false;
        // A keyword must not run into an identifier.
        if (std::isalpha(static_cast<unsigned char>(token[0])) && pos_ + n < s_.size() &&
            (std::isalnum(static_cast<unsigned char>(s_[pos_ + n])) || s_[pos_ + n] == '_'))
            return false;
        pos_ += n;
        return true;
    }

    void expect(const char* token) {
        if (!accept(token)) fail(std::string("Syntax error: expected '") + token + "'");
    }

    std::string identifier() {
        skipSpace();
        size_t start = pos_;
        while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_')) ++pos_;
        if (start == pos_) fail("Syntax error");
        return s_.substr(start, pos_ - start);
    }

    // Skips to just after the ';' that ends the current statement (or a closing brace).
    void recover() {
        int depth = 0;
        bool quoted = false;
        while (pos_ < s_.size()) {
            char c = s_[pos_++];
            if (quoted) {
                if (c == '\\') ++pos_;
                else if (c == '"') quoted = false;
                continue;
            }
            if (c == '"') quoted = true;
            else if (c == '{' || c == '(') ++depth;
            else if ((c == '}' || c == ')') && depth > 0) --depth;
            else if (c == '}' && depth == 0) { --pos_; return; }
            else if (c == ';' && depth == 0) return;
        }
    }

    // --- variables ---

    Variable* lookup(const std::string& name) {
        for (auto it = scopes_.rbegin(); it != scopes_.rend(); ++it) {
            auto v = it->find(name);
            if (v != it->end()) return &v->second;
        }
        return nullptr;
    }

    static Value convert(const Value& v, Value::Type type) {
        Value r;
        r.type = type;
        switch (type) {
        case Value::Int: r.number = std::trunc(v.asNumber()); break;
        case Value::Float: r.number = v.asNumber(); break;
        case Value::String: r.text = v.asString(); break;
        case Value::IntArray: case Value::FloatArray:
            if (v.type == Value::IntArray || v.type == Value::FloatArray) r.numbers = v.numbers;
            else if (v.type == Value::StringArray) for (auto& t : v.texts) r.numbers.push_back(std::atof(t.c_str()));
            else r.numbers.push_back(v.asNumber());
            if (type == Value::IntArray) for (double& d : r.numbers) d = std::trunc(d);
            break;
        case Value::StringArray: r.texts = v.asStrings(); break;
        }
        return r;
    }

    std::string varName() {
        skipSpace();
        if (peek() != '$') fail("Syntax error: expected a variable");
        ++pos_;
        return "$" + identifier();
    }

    // --- statements ---

    Value statement(bool exec) {
        skipSpace();
        size_t start = pos_;
        try {
            return statementBody(exec);
        } catch (const Error& e) {
            report(e, start);
            pos_ = start;
            recover();
            return {};
        }
    }

    Value statementBody(bool exec) {
        if (accept(";")) return {};
        if (peek() == '{') {
            ++pos_;
            scopes_.emplace_back();
            Value last;
            while (skipSpace(), peek() != '}') {
                if (pos_ >= s_.size()) { scopes_.pop_back(); fail("Syntax error: missing '}'"); }
                last = statement(exec);
            }
            ++pos_;
            scopes_.pop_back();
            return last;
        }
        if (accept("if")) return ifStatement(exec);
        if (accept("while")) return whileStatement(exec);
        if (accept("for")) return forStatement(exec);
        for (const char* type : {"int", "float", "string"})
            if (accept(type)) return declaration(type, exec);
        if (peek() == '$') {
            assignment(exec);
            expect(";");
            return {};
        }
        std::string name = identifier();
        skipSpace();
        Value result;
        if (peek() == '(') result = functionCall(name, exec);
        else result = commandSyntax(name, exec, ';');
        expect(";");
        return result;
    }

    Value ifStatement(bool exec) {
        expect("(");
        bool cond = expression(exec).asNumber() != 0;
        expect(")");
        Value r = statement(exec && cond);
        if (accept("else")) {
            Value e = statement(exec && !cond);
            if (!cond) r = e;
        }
        return r;
    }

    Value whileStatement(bool exec) {
        size_t condAt = pos_;
        for (;;) {
            pos_ = condAt;
            expect("(");
            bool cond = expression(exec).asNumber() != 0;
            expect(")");
            statement(exec && cond);
            if (!exec || !cond) return {};
        }
    }

    Value forStatement(bool exec) {
        expect("(");
        skipSpace();
        // for ($item in $array)
        size_t save = pos_;
        if (peek() == '$') {
            std::string name = varName();
            if (accept("in")) {
                Value list = expression(exec);
                expect(")");
                size_t body = pos_;
                auto items = list.asStrings();
                if (!exec || items.empty()) {
                    statement(false);
                    return {};
                }
                for (const auto& item : items) {
                    pos_ = body;
                    Variable* v = lookup(name);
                    if (!v) {
                        v = &scopes_.back()[name];
                        v->value.type = list.type == Value::StringArray ? Value::String : Value::Float;
                    }
                    v->value = convert(Value::string(item), v->value.type);
                    statement(true);
                }
                return {};
            }
        }
        pos_ = save;
        if (peek() != ';') assignment(exec);
        expect(";");
        size_t condAt = pos_;
        for (;;) {
            pos_ = condAt;
            bool cond = true;
            skipSpace();
            if (peek() != ';') cond = expression(exec).asNumber() != 0;
            expect(";");
            size_t stepAt = pos_;
            skipStep();
            expect(")");
            bool run = exec && cond;
            statement(run);
            if (!run) return {};
            size_t after = pos_;
            pos_ = stepAt;
            skipSpace();
            if (peek() != ')') assignment(true);
            pos_ = after;
        }
    }

    void skipStep() {
        int depth = 0;
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (c == '(') ++depth;
            if (c == ')') {
                if (depth == 0) return;
                --depth;
            }
            ++pos_;
        }
    }

    Value declaration(const std::string& type, bool exec) {
        do {
            std::string name = varName();
            bool array = false;
            if (accept("[")) {
                skipSpace();
                if (peek() != ']') expression(exec);
                expect("]");
                array = true;
            }
            Value::Type t = type == "int" ? (array ? Value::IntArray : Value::Int)
                            : type == "float" ? (array ? Value::FloatArray : Value::Float)
                                              : (array ? Value::StringArray : Value::String);
            Value init;
            init.type = t;
            if (accept("=")) init = convert(expression(exec), t);
            if (exec) scopes_.back()[name] = Variable{init};
        } while (accept(","));
        expect(";");
        return {};
    }

    void assignment(bool exec) {
        std::string name = varName();
        Variable* v = exec ? lookup(name) : nullptr;
        if (exec && !v) fail("\"" + name + "\" is an undeclared variable.");
        long index = -1;
        if (accept("[")) {
            index = static_cast<long>(expression(exec).asNumber());
            expect("]");
        }
        auto store = [&](const Value& value) {
            if (!exec) return;
            if (index >= 0) {
                if (!v->value.isArray()) fail("\"" + name + "\" is not an array.");
                if (v->value.type == Value::StringArray) {
                    if (static_cast<size_t>(index) >= v->value.texts.size()) v->value.texts.resize(index + 1);
                    v->value.texts[index] = value.asString();
                } else {
                    if (static_cast<size_t>(index) >= v->value.numbers.size()) v->value.numbers.resize(index + 1);
                    double n = value.asNumber();
                    v->value.numbers[index] = v->value.type == Value::IntArray ? std::trunc(n) : n;
                }
            } else {
                v->value = convert(value, v->value.type);
            }
        };
        auto current = [&]() -> Value {
            if (!exec) return {};
            if (index < 0) return v->value;
            return element(v->value, index);
        };
        if (accept("++")) return store(Value::real(current().asNumber() + 1));
        if (accept("--")) return store(Value::real(current().asNumber() - 1));
        for (const char* op : {"+=", "-=", "*=", "/="}) {
            if (accept(op)) {
                Value rhs = expression(exec);
                if (exec) store(binary(op[0], current(), rhs));
                return;
            }
        }
        expect("=");
        Value rhs = expression(exec);
        store(rhs);
    }

    // --- expressions ---

    Value expression(bool exec) { return logicalOr(exec); }

    Value logicalOr(bool exec) {
        Value l = logicalAnd(exec);
        while (accept("||")) {
            Value r = logicalAnd(exec);
            l = Value::integer(l.asNumber() != 0 || r.asNumber() != 0);
        }
        return l;
    }

    Value logicalAnd(bool exec) {
        Value l = equality(exec);
        while (accept("&&")) {
            Value r = equality(exec);
            l = Value::integer(l.asNumber() != 0 && r.asNumber() != 0);
        }
        return l;
    }

    Value equality(bool exec) {
        Value l = relational(exec);
        for (;;) {
            bool eq = accept("==");
            if (!eq && !accept("!=")) return l;
            Value r = relational(exec);
            bool same = (l.type == Value::String || r.type == Value::String) ? l.asString() == r.asString()
                                                                             : l.asNumber() == r.asNumber();
            l = Value::integer(eq ? same : !same);
        }
    }

    Value relational(bool exec) {
        Value l = additive(exec);
        for (;;) {
            skipSpace();
            const char* op = nullptr;
            for (const char* o : {"<=", ">=", "<", ">"})
                if (s_.compare(pos_, std::char_traits<char>::length(o), o) == 0) { op = o; break; }
            if (!op) return l;
            pos_ += std::char_traits<char>::length(op);
            Value r = additive(exec);
            double a = l.asNumber(), b = r.asNumber();
            bool res = op[0] == '<' ? (op[1] == '=' ? a <= b : a < b) : (op[1] == '=' ? a >= b : a > b);
            l = Value::integer(res);
        }
    }

    Value binary(char op, const Value& l, const Value& r) {
        if (op == '+' && (l.type == Value::String || r.type == Value::String))
            return Value::string(l.asString() + r.asString());
        if (l.isArray() || r.isArray()) fail("Illegal operation on an array.");
        bool integer = l.type == Value::Int && r.type == Value::Int;
        double a = l.asNumber(), b = r.asNumber(), v = 0;
        switch (op) {
        case '+': v = a + b; break;
        case '-': v = a - b; break;
        case '*': v = a * b; break;
        case '/':
            if (b == 0) fail("Divide by zero.");
            v = integer ? std::trunc(a / b) : a / b;
            break;
        case '%':
            if (b == 0) fail("Divide by zero.");
            v = std::fmod(a, b);
            break;
        }
        return integer ? Value::integer(v) : Value::real(v);
    }

    Value additive(bool exec) {
        Value l = multiplicative(exec);
        for (;;) {
            skipSpace();
            char c = peek();
            if ((c != '+' && c != '-') || peek(1) == '=' || peek(1) == c) return l;
            ++pos_;
            Value r = multiplicative(exec);
            l = exec ? binary(c, l, r) : Value{};
        }
    }

    Value multiplicative(bool exec) {
        Value l = unary(exec);
        for (;;) {
            skipSpace();
            char c = peek();
            if ((c != '*' && c != '/' && c != '%') || peek(1) == '=') return l;
            ++pos_;
            Value r = unary(exec);
            l = exec ? binary(c, l, r) : Value{};
        }
    }

    Value unary(bool exec) {
        skipSpace();
        if (peek() == '-' && peek(1) != '-') {
            ++pos_;
            Value v = unary(exec);
            return v.type == Value::Int ? Value::integer(-v.number) : Value::real(-v.asNumber());
        }
        if (peek() == '!' && peek(1) != '=') {
            ++pos_;
            return Value::integer(unary(exec).asNumber() == 0);
        }
        return postfix(exec);
    }

    static Value element(const Value& v, long i) {
        if (i < 0) throw Error{"Array index out of bounds."};
        switch (v.type) {
        case Value::StringArray: return Value::string(static_cast<size_t>(i) < v.texts.size() ? v.texts[i] : "");
        case Value::IntArray: return Value::integer(static_cast<size_t>(i) < v.numbers.size() ? v.numbers[i] : 0);
        case Value::FloatArray: return Value::real(static_cast<size_t>(i) < v.numbers.size() ? v.numbers[i] : 0);
        default: throw Error{"Value is not an array."};
        }
    }

    Value postfix(bool exec) {
        Value v = primary(exec);
        while (accept("[")) {
            long i = static_cast<long>(expression(exec).asNumber());
            expect("]");
            if (exec) v = element(v, i);
        }
        return v;
    }

    std::string stringLiteral() {
        ++pos_; // opening quote
        std::string out;
        while (pos_ < s_.size() && s_[pos_] != '"') {
            char c = s_[pos_++];
            if (c == '\\' && pos_ < s_.size()) {
                char e = s_[pos_++];
                out += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
            } else {
                out += c;
            }
        }
        if (pos_ >= s_.size()) fail("Syntax error: unterminated string");
        ++pos_;
        return out;
    }

    Value numberLiteral() {
        const char* start = s_.c_str() + pos_;
        char* end = nullptr;
        bool integer = true;
        for (const char* p = start; *p && (std::isalnum(static_cast<unsigned char>(*p)) || *p == '.'); ++p)
            if (*p == '.' || *p == 'e' || *p == 'E') integer = false;
        double v = std::strtod(start, &end);
        pos_ += end - start;
        return integer ? Value::integer(v) : Value::real(v);
    }

    Value primary(bool exec) {
        skipSpace();
        char c = peek();
        if (c == '(') {
            ++pos_;
            Value v = expression(exec);
            expect(")");
            return v;
        }
        if (c == '"') return Value::string(stringLiteral());
        if (std::isdigit(static_cast<unsigned char>(c)) || (c == '.' && std::isdigit(static_cast<unsigned char>(peek(1)))))
            return numberLiteral();
        if (c == '`') {
            ++pos_;
            std::string name = identifier();
            Value v = commandSyntax(name, exec, '`');
            skipSpace();
            if (peek() != '`') fail("Syntax error: missing '`'");
            ++pos_;
            return v;
        }
        if (c == '{') {
            ++pos_;
            std::vector<Value> items;
            if (!accept("}")) {
                do items.push_back(expression(exec));
                while (accept(","));
                expect("}");
            }
            bool allStrings = true, allInts = true;
            for (const auto& i : items) {
                allStrings &= i.type == Value::String;
                allInts &= i.type == Value::Int;
            }
            Value r;
            if (allStrings && !items.empty()) {
                r.type = Value::StringArray;
                for (auto& i : items) r.texts.push_back(i.text);
            } else {
                r.type = allInts ? Value::IntArray : Value::FloatArray;
                for (auto& i : items) r.numbers.push_back(i.asNumber());
            }
            return r;
        }
        if (c == '$') {
            std::string name = varName();
            if (!exec) return {};
            Variable* v = lookup(name);
            if (!v) fail("\"" + name + "\" is an undeclared variable.");
            return v->value;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            std::string name = identifier();
            if (name == "true" || name == "on" || name == "yes") return Value::integer(1);
            if (name == "false" || name == "off" || name == "no") return Value::integer(0);
            skipSpace();
            if (peek() == '(') return functionCall(name, exec);
            fail("Syntax error");
        }
        fail("Syntax error");
    }

    // --- commands ---

    Value call(const std::string& name, std::vector<Word> words, bool exec) {
        if (!exec) return {};
        auto it = commands().find(name);
        if (it == commands().end()) fail("Cannot find procedure \"" + name + "\".");
        Args args(std::move(words));
        return it->second(args);
    }

    Value functionCall(const std::string& name, bool exec) {
        expect("(");
        std::vector<Word> words;
        if (!accept(")")) {
            do {
                Value v = expression(exec);
                Word w;
                if (v.type == Value::String && v.text.size() > 1 && v.text[0] == '-' &&
                    std::isalpha(static_cast<unsigned char>(v.text[1]))) {
                    w.flag = true;
                    w.name = v.text.substr(1);
                } else {
                    w.value = v;
                }
                words.push_back(std::move(w));
            } while (accept(","));
            expect(")");
        }
        return call(name, std::move(words), exec);
    }

    static bool wordChar(char c) {
        return c && !std::isspace(static_cast<unsigned char>(c)) && c != ';' && c != '`' && c != ')' && c != '(';
    }

    Value commandSyntax(const std::string& name, bool exec, char end) {
        std::vector<Word> words;
        for (;;) {
            skipSpace();
            char c = peek();
            if (c == '\0' || c == end || c == ';' || c == '}' || c == ')') break;
            Word w;
            if (c == '-' && std::isalpha(static_cast<unsigned char>(peek(1)))) {
                ++pos_;
                w.flag = true;
                w.name = identifier();
            } else if (c == '"') {
                w.value = Value::string(stringLiteral());
            } else if (c == '$' || c == '`' || c == '(' || c == '{') {
                w.value = c == '$' ? postfix(exec) : primary(exec);
            } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '+') {
                size_t start = pos_;
                if (c == '-' || c == '+') ++pos_;
                Value n = numberLiteral();
                if (c == '-') n.number = -n.number;
                if (wordChar(peek())) { // not a number after all, e.g. "1abc"
                    pos_ = start;
                    while (wordChar(peek())) ++pos_;
                    w.value = Value::string(s_.substr(start, pos_ - start));
                } else {
                    w.value = n;
                }
            } else {
                size_t start = pos_;
                while (wordChar(peek())) ++pos_;
                if (start == pos_) fail("Syntax error");
                w.value = Value::string(s_.substr(start, pos_ - start));
            }
            words.push_back(std::move(w));
        }
        return call(name, std::move(words), exec);
    }
};

} // namespace

Value run(const std::string& source, const std::string& file, int* errors) {
    Interpreter interpreter(source, file);
    return interpreter.runAll(errors);
}

} // namespace mayahost::mel
