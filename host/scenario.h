// Scenario files: one browser action per line, run in order by the host.
#ifndef HOST_SCENARIO_H
#define HOST_SCENARIO_H

#include <stdexcept>
#include <string>
#include <vector>

namespace vkhost {

enum class StepKind {
    Display,     // display BITS
    Background,  // background TEXT | background none
    Viewport,    // viewport W H
    Open,        // open URL
    Move,        // move E X Y
    Down, Up, Click, DoubleClick, RightDown, RightUp,
    Wait,        // wait MS
    Resize,      // resize E W H
    Print,       // print E OUT.png
    Fail,        // fail URL
    Missing,     // missing URL
    Destroy,     // destroy E
    Shot,        // shot OUT.png
};

struct ScenarioStep {
    StepKind kind = StepKind::Open;
    int line = 0;          // 1-based line in the scenario file
    int embed = 0;         // E, counted from 1
    int x = 0, y = 0;      // move: client point; viewport, resize: width and height
    int number = 0;        // display: bits; wait: milliseconds
    bool absent = false;   // background none
    std::string text;      // URL, output file or background text, as written
};

// A bad line: what() names the file and line ("FILE:LINE: message").
class ScenarioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses a scenario's text; `fileName` names it in error messages.
std::vector<ScenarioStep> ParseScenario(const std::string& text, const std::string& fileName);

}  // namespace vkhost

#endif
