#include "navigation_actions.h"

#include "ansi_text.h"
#include "browser_link.h"
#include "plugin_instance.h"
#include "view_window.h"

// None of these handlers looks at the acting symbol: a statement aimed at several
// targets performs the same browser call once per target.

void JumpAction(InstanceData* data, CVLSYMBOL, const std::string& argument) {
    if (data == nullptr || !data->link) return;
    data->link->GotoURL(argument.c_str(), nullptr);
}

void TargetJumpAction(InstanceData* data, CVLSYMBOL, const std::string& argument) {
    if (data == nullptr || !data->link) return;
    const std::string::size_type blank = FindAnsiChar(argument, ' ');
    // Without a target name before the first blank there is nowhere to go.
    if (blank == std::string::npos || blank == 0) return;
    const std::string target = argument.substr(0, blank);
    const std::string url = argument.substr(blank + 1);
    data->link->GotoURL(url.c_str(), target.c_str());
}

void InplaceJumpAction(InstanceData* data, CVLSYMBOL, const std::string& argument) {
    if (data == nullptr || !data->link) return;
    data->link->LoadInPlace(argument.c_str());
}

void StatusLineAction(InstanceData* data, CVLSYMBOL, const std::string& argument) {
    if (data == nullptr || !data->link) return;
    data->link->ShowStatus(argument.c_str());
}

void CursorShapeAction(InstanceData* data, CVLSYMBOL, const std::string& argument) {
    if (data == nullptr || !data->view) return;
    const std::string shape = LowerCasedAnsi(StripAnsiSpaces(argument));
    // The view shows the new cursor at its next cursor update, not here.
    data->view->cursorShape = (shape == "hand" || shape == "link") ? 1 : 0;
}
