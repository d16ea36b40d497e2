// What a plug-in must leave behind once the browser has closed it: nothing. The
// accounting that `vkhost --check` runs after closing, shared with the tests that
// drive the module by other means.
#ifndef HOST_LEFTOVERS_H
#define HOST_LEFTOVERS_H

#include <string>
#include <vector>

namespace vkhost {

// One message per kind of thing left behind: engine calls with a stale handle,
// drawings still loaded, device contexts, GDI objects and timers alive, and
// window-system calls given an invalid handle. Empty when everything is clean.
std::vector<std::string> Leftovers();

}  // namespace vkhost

#endif
