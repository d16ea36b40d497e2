#include "leftovers.h"

#include "cvlpage/diagnostics.h"
#include "win32_control.h"

namespace vkhost {

std::vector<std::string> Leftovers() {
    std::vector<std::string> found;
    if (DWORD stale = CvlDiagStaleHandleCount())
        found.push_back(std::to_string(stale) + " engine calls with a stale handle, the latest " +
                        cvldiag::LastStaleCall());
    if (int drawings = CvlDiagLiveDrawings()) found.push_back(std::to_string(drawings) + " drawings left loaded");
    if (int dcs = w32_live_dcs()) found.push_back(std::to_string(dcs) + " device contexts left");
    if (int objects = w32_live_gdi_objects()) found.push_back(std::to_string(objects) + " GDI objects left");
    if (int timers = w32_live_timers()) found.push_back(std::to_string(timers) + " timers left running");
    if (int bad = w32_bad_handle_uses())
        found.push_back(std::to_string(bad) + " window-system calls with an invalid handle");
    return found;
}

}  // namespace vkhost
