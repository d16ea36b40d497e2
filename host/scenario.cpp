#include "scenario.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <map>
#include <sstream>

namespace vkhost {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

class LineParser {
public:
    LineParser(const std::string& line, const std::string& fileName, int lineNumber)
        : line(line), where(fileName + ":" + std::to_string(lineNumber) + ": ") {}

    [[noreturn]] void Fail(const std::string& message) const { throw ScenarioError(where + message); }

    std::string Word() {
        while (pos < line.size() && IsBlank(line[pos])) ++pos;
        size_t start = pos;
        while (pos < line.size() && !IsBlank(line[pos])) ++pos;
        return line.substr(start, pos - start);
    }

    // The rest of the line after the blanks that follow the verb, as written.
    std::string Rest() {
        while (pos < line.size() && IsBlank(line[pos])) ++pos;
        std::string rest = line.substr(pos);
        pos = line.size();
        return rest;
    }

    int Number(const char* what, long low, long high) {
        std::string word = Word();
        if (word.empty()) Fail(std::string("missing ") + what);
        char* end = nullptr;
        errno = 0;
        long value = std::strtol(word.c_str(), &end, 10);
        if (*end != '\0' || errno == ERANGE) Fail(std::string("bad ") + what + " '" + word + "'");
        if (value < low || value > high)
            Fail(std::string(what) + " " + word + " out of range " + std::to_string(low) + ".." +
                 std::to_string(high));
        return static_cast<int>(value);
    }

    std::string Argument(const char* what) {
        std::string word = Word();
        if (word.empty()) Fail(std::string("missing ") + what);
        return word;
    }

    void End() {
        std::string extra = Word();
        if (!extra.empty()) Fail("unexpected '" + extra + "'");
    }

private:
    const std::string& line;
    std::string where;
    size_t pos = 0;
};

constexpr long kMaxCoordinate = 100000;
constexpr long kMaxSize = 8192;
constexpr long kMaxEmbed = 100000;
constexpr long kMaxWait = 24L * 3600 * 1000;

}  // namespace

std::vector<ScenarioStep> ParseScenario(const std::string& text, const std::string& fileName) {
    static const std::map<std::string, StepKind> verbs = {
        {"display", StepKind::Display}, {"background", StepKind::Background},
        {"viewport", StepKind::Viewport}, {"open", StepKind::Open},
        {"move", StepKind::Move}, {"down", StepKind::Down},
        {"up", StepKind::Up}, {"click", StepKind::Click},
        {"dblclick", StepKind::DoubleClick}, {"rdown", StepKind::RightDown},
        {"rup", StepKind::RightUp}, {"wait", StepKind::Wait},
        {"resize", StepKind::Resize}, {"print", StepKind::Print},
        {"fail", StepKind::Fail}, {"missing", StepKind::Missing},
        {"destroy", StepKind::Destroy}, {"shot", StepKind::Shot}};

    std::vector<ScenarioStep> steps;
    bool opened = false;
    std::istringstream input(text);
    std::string line;
    for (int number = 1; std::getline(input, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        LineParser parser(line, fileName, number);
        if (line.find('\0') != std::string::npos) parser.Fail("NUL byte in line");
        std::string verb = parser.Word();
        if (verb.empty() || verb[0] == '#') continue;
        auto found = verbs.find(verb);
        if (found == verbs.end()) parser.Fail("unknown command '" + verb + "'");
        ScenarioStep step;
        step.kind = found->second;
        step.line = number;
        switch (step.kind) {
            case StepKind::Display:
                if (opened) parser.Fail("display must come before open");
                step.number = parser.Number("depth", 8, 32);
                if (step.number % 8 != 0) parser.Fail("depth must be 8, 16, 24 or 32");
                break;
            case StepKind::Background:
                step.text = parser.Rest();
                if (step.text.empty()) parser.Fail("missing colour text (or 'none')");
                step.absent = step.text == "none";
                break;
            case StepKind::Viewport:
                step.x = parser.Number("width", 1, kMaxSize);
                step.y = parser.Number("height", 1, kMaxSize);
                break;
            case StepKind::Open:
                opened = true;
                [[fallthrough]];
            case StepKind::Fail:
            case StepKind::Missing:
                step.text = parser.Argument("URL");
                break;
            case StepKind::Move:
                step.embed = parser.Number("embed number", 1, kMaxEmbed);
                step.x = parser.Number("x", -kMaxCoordinate, kMaxCoordinate);
                step.y = parser.Number("y", -kMaxCoordinate, kMaxCoordinate);
                break;
            case StepKind::Wait:
                step.number = parser.Number("milliseconds", 0, kMaxWait);
                break;
            case StepKind::Resize:
                step.embed = parser.Number("embed number", 1, kMaxEmbed);
                step.x = parser.Number("width", 0, kMaxSize);
                step.y = parser.Number("height", 0, kMaxSize);
                break;
            case StepKind::Print:
                step.embed = parser.Number("embed number", 1, kMaxEmbed);
                step.text = parser.Argument("output file");
                break;
            case StepKind::Destroy:
                step.embed = parser.Number("embed number", 1, kMaxEmbed);
                break;
            case StepKind::Shot:
                step.text = parser.Argument("output file");
                break;
            default:
                break;
        }
        parser.End();
        steps.push_back(step);
    }
    return steps;
}

}  // namespace vkhost
