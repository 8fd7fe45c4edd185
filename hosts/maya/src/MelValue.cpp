// MEL values, command arguments, the command table and MEL's output.
#include "Mel.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

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

std::string Value::resultText() const {
    auto shown = [](double v) {
        char text[64];
        std::snprintf(text, sizeof text, "%g", v);
        return std::string(text);
    };
    switch (type) {
    case Float: return shown(number);
    case FloatArray: {
        std::string out;
        for (double n : numbers) out += (out.empty() ? "" : " ") + shown(n);
        return out;
    }
    default: return asString();
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

void Args::parse(const std::string& command, std::initializer_list<FlagSpec> known) {
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
        const FlagSpec* match = nullptr;
        for (const FlagSpec& s : known)
            if (w.name == s.shortName || w.name == s.longName) match = &s;
        if (!match) throw Error{"Invalid flag '-" + w.name + "'"};
        auto& values = flags_[match->longName];
        for (int k = 0; k < match->count; ++k) {
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

std::map<std::string, Command>& commandTable() {
    static std::map<std::string, Command> table;
    return table;
}

void registerCommand(const std::string& name, Command command) { commandTable()[name] = std::move(command); }
bool hasCommand(const std::string& name) { return commandTable().count(name) > 0; }

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

} // namespace mayahost::mel
