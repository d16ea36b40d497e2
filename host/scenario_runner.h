// Runs a parsed scenario against a browser, one step after another.
#ifndef HOST_SCENARIO_RUNNER_H
#define HOST_SCENARIO_RUNNER_H

#include <string>
#include <vector>

#include "browser.h"
#include "scenario.h"

namespace vkhost {

// Runs the steps in order. A step that fails stops the run with a ScenarioError
// naming `fileName` and the step's line. Output files (shot, print) are written
// relative to the current directory.
void RunScenario(Browser& browser, const std::vector<ScenarioStep>& steps, const std::string& fileName);

// Writes a picture, turning a failure into a HostError.
void SavePicture(const Picture& picture, const std::string& path);

}  // namespace vkhost

#endif
