#include "scenario_runner.h"

#include "win32_control.h"

namespace vkhost {

void SavePicture(const Picture& picture, const std::string& path) {
    std::string error;
    if (!WritePng(path, picture, error)) throw HostError(error);
}

namespace {

void RunStep(Browser& browser, const ScenarioStep& step) {
    switch (step.kind) {
        case StepKind::Display: browser.SetDisplayDepth(step.number); break;
        case StepKind::Background:
            browser.SetBackground(step.absent ? std::nullopt : std::optional<std::string>(step.text));
            break;
        case StepKind::Viewport: browser.SetViewport(step.x, step.y); break;
        case StepKind::Open: browser.Open(step.text); break;
        case StepKind::Move: browser.MovePointer(step.embed, step.x, step.y); break;
        case StepKind::Down: browser.Button(W32_BUTTON_LEFT, true); break;
        case StepKind::Up: browser.Button(W32_BUTTON_LEFT, false); break;
        case StepKind::Click: browser.Click(); break;
        case StepKind::DoubleClick: browser.DoubleClick(); break;
        case StepKind::RightDown: browser.Button(W32_BUTTON_RIGHT, true); break;
        case StepKind::RightUp: browser.Button(W32_BUTTON_RIGHT, false); break;
        case StepKind::Wait: browser.Wait(static_cast<DWORD>(step.number)); break;
        case StepKind::Resize: browser.Resize(step.embed, step.x, step.y); break;
        case StepKind::Print: SavePicture(browser.Print(step.embed), step.text); break;
        case StepKind::Fail: browser.MarkFailing(step.text); break;
        case StepKind::Missing: browser.MarkMissing(step.text); break;
        case StepKind::Destroy: browser.Destroy(step.embed); break;
        case StepKind::Shot: SavePicture(browser.Screenshot(), step.text); break;
    }
}

}  // namespace

void RunScenario(Browser& browser, const std::vector<ScenarioStep>& steps, const std::string& fileName) {
    for (const ScenarioStep& step : steps) {
        try {
            RunStep(browser, step);
        } catch (const HostError& error) {
            throw ScenarioError(fileName + ":" + std::to_string(step.line) + ": " + error.what());
        }
    }
}

}  // namespace vkhost
