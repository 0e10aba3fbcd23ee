#include "app/ScriptParser.h"

#include <charconv>
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
        statements.push_back(std::move(statement));
    }
    return true;
}
