#include "app/ScriptParser.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <sstream>

namespace {

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

bool ToNumber(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

// "Field=Value | Other Field=Value | OK"
bool ParseDialog(const std::string& argument, ScriptStatement& statement, std::string& error) {
    std::vector<std::string> items;
    std::string::size_type from = 0;
    for (;;) {
        const auto bar = argument.find('|', from);
        items.push_back(Trim(argument.substr(from, bar - from)));
        if (bar == std::string::npos)
            break;
        from = bar + 1;
    }
    std::string button = items.back();
    for (char& c : button)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (button != "ok" && button != "cancel") {
        error = "a dialog statement ends with OK or Cancel";
        return false;
    }
    statement.argument = button;
    items.pop_back();
    for (const std::string& item : items) {
        const auto equals = item.find('=');
        if (equals == std::string::npos) {
            statement.fields.emplace_back("", item); // a button
            continue;
        }
        if (equals == 0) {
            error = "\"" + item + "\" is not FIELD=VALUE";
            return false;
        }
        statement.fields.emplace_back(Trim(item.substr(0, equals)), Trim(item.substr(equals + 1)));
    }
    return true;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

bool ParseGraph(const std::string& argument, ScriptStatement& statement) {
    const std::vector<std::string> words = Words(argument);
    if (words.size() == 1 && (words[0] == "on" || words[0] == "off")) {
        statement.on = words[0] == "on";
        return true;
    }
    if (words.size() != 2 || words[0] != "on")
        return false;
    statement.on = true;
    if (words[1] == "pitch-bend") {
        statement.controller = 255;
        return true;
    }
    return ToNumber(words[1], statement.controller) && statement.controller >= 0 &&
           statement.controller <= 127;
}

// The shape's name becomes its place in the range dialog's list; "erase" is -1.
bool ParseRange(const std::string& argument, ScriptStatement& statement) {
    const std::vector<std::string> words = Words(argument);
    static const char* const kShapes[] = {"line", "squared", "sine", "parabola"};
    if (words.size() == 1 && words[0] == "erase") {
        statement.number = -1;
        return true;
    }
    if (words.size() != 3 && words.size() != 5)
        return false;
    const auto shape = std::find(std::begin(kShapes), std::end(kShapes), words[0]);
    if (shape == std::end(kShapes))
        return false;
    statement.number = static_cast<int>(shape - std::begin(kShapes));
    for (std::size_t i = 1; i < words.size(); ++i) {
        int value = 0;
        if (!ToNumber(words[i], value) || value < 0 || value > (i < 3 ? 127 : 100))
            return false;
        statement.points.push_back(value);
    }
    return true;
}

} // namespace

bool ParseScript(const std::string& text, std::vector<ScriptStatement>& statements,
                 std::string& error) {
    using Kind = ScriptStatement::Kind;
    struct Word {
        const char* name;
        Kind kind;
        bool needsArgument;
        bool numeric;
    };
    static const Word kWords[] = {
        {"key", Kind::Key, true, false},
        {"command", Kind::Command, true, true},
        {"answer", Kind::Answer, true, false},
        {"view", Kind::View, true, true},
        {"wait-idle", Kind::WaitIdle, false, false},
        {"wait", Kind::Wait, true, true},
        {"screenshot", Kind::Screenshot, true, false},
        {"expect-title", Kind::ExpectTitle, true, false},
        {"click", Kind::Click, true, false},
        {"drag", Kind::Drag, true, false},
        {"rclick", Kind::RightClick, true, false},
        {"menu", Kind::Menu, true, false},
        {"view-kind", Kind::ViewKind, true, false},
        {"heads", Kind::Heads, false, false},
        {"dialog", Kind::Dialog, true, false},
        {"key-capture", Kind::KeyCapture, true, false},
        {"bars", Kind::Bars, false, false},
        {"graph", Kind::Graph, true, false},
        {"range", Kind::Range, true, false},
        {"midi-in", Kind::MidiIn, true, false},
        {"mic-in", Kind::MicIn, true, false},
    };
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#')
            continue;
        const auto space = line.find_first_of(" \t");
        const std::string word = line.substr(0, space);
        const std::string argument = space == std::string::npos ? "" : Trim(line.substr(space));
        const Word* found = nullptr;
        for (const Word& w : kWords)
            if (word == w.name)
                found = &w;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (!found) {
            error = where + "unknown statement \"" + word + "\"";
            return false;
        }
        if (found->needsArgument && argument.empty()) {
            error = where + "\"" + word + "\" needs an argument";
            return false;
        }
        if (!found->needsArgument && !argument.empty()) {
            error = where + "\"" + word + "\" takes no argument";
            return false;
        }
        ScriptStatement statement;
        statement.kind = found->kind;
        statement.argument = argument;
        statement.line = number;
        if (found->numeric && !ToNumber(argument, statement.number)) {
            error = where + "\"" + argument + "\" is not a number";
            return false;
        }
        if (statement.kind == Kind::MidiIn) {
            // A last word that is a number is the speed.
            statement.number = 1;
            const auto last = argument.find_last_of(" \t");
            int speed = 0;
            if (last != std::string::npos && ToNumber(argument.substr(last + 1), speed) &&
                speed >= 0) {
                statement.number = speed;
                statement.argument = Trim(argument.substr(0, last));
            }
        }
        if (statement.kind == Kind::Dialog && !ParseDialog(argument, statement, error)) {
            error = where + error;
            return false;
        }
        if (statement.kind == Kind::Click || statement.kind == Kind::Drag ||
            statement.kind == Kind::RightClick) {
            // Coordinates, then (for a click) the keys held.
            std::istringstream words(argument);
            std::string w;
            while (words >> w) {
                int value = 0;
                if (ToNumber(w, value))
                    statement.points.push_back(value);
                else if (statement.kind == Kind::Click && w == "shift")
                    statement.shift = true;
                else if (statement.kind == Kind::Click && w == "ctrl")
                    statement.ctrl = true;
                else {
                    error = where + "\"" + w + "\" is not a coordinate";
                    return false;
                }
            }
            const std::size_t wanted = statement.kind == Kind::Drag ? 4 : 2;
            if (statement.points.size() != wanted) {
                error = where + "\"" + word + "\" needs " + std::to_string(wanted) + " coordinates";
                return false;
            }
        }
        if (statement.kind == Kind::Graph && !ParseGraph(argument, statement)) {
            error = where + "\"graph\" needs \"on\" (with a controller from 0 to 127 or "
                            "\"pitch-bend\") or \"off\"";
            return false;
        }
        if (statement.kind == Kind::Range && !ParseRange(argument, statement)) {
            error = where + "\"range\" needs \"erase\" or a shape (line, squared, sine, "
                            "parabola), two levels from 0 to 127 and perhaps two adjustments "
                            "from 0 to 100";
            return false;
        }
        statements.push_back(std::move(statement));
    }
    return true;
}
