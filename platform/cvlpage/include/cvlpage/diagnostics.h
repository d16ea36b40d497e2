// The engine's diagnostic interface for the host and for tests: why a drawing did not
// load, how many calls came with a stale handle, and a journal of engine calls.
// The plug-in never includes this header.
#ifndef VK_CVLPAGE_DIAGNOSTICS_H
#define VK_CVLPAGE_DIAGNOSTICS_H

#include <windows.h>

#ifdef __cplusplus
#include <string>
#include <vector>
extern "C" {
#endif

// The reason the latest LoadDrawing failed as "file:line:column: message", or an
// empty text after a successful load. Returns the full length; copies at most size-1.
int WINAPI CvlDiagLoadError(LPSTR buffer, int size);
// Line and column (1-based, 0 when unknown) of the latest load failure.
void WINAPI CvlDiagLoadErrorPosition(int* line, int* column);

// Calls refused because a drawing or symbol handle was 0, freed, or of another drawing.
DWORD WINAPI CvlDiagStaleHandleCount(void);
void WINAPI CvlDiagResetStaleHandleCount(void);
// The latest refused call, e.g. "GetSymbolRect(1073741825, 12)", or "".
int WINAPI CvlDiagLastStaleCall(LPSTR buffer, int size);

// Journal of engine calls: one text per call, "Function(arg, arg, ...)". Handles are
// printed in decimal, rectangles as (l,t,r,b), texts quoted with C escapes, flags in hex.
// Switching it on or off clears it; it keeps the latest 100000 calls.
void WINAPI CvlDiagSetJournal(int on);
int WINAPI CvlDiagJournalSize(void);
int WINAPI CvlDiagJournalEntry(int index, LPSTR buffer, int size);
void WINAPI CvlDiagClearJournal(void);

// Number of drawings currently loaded.
int WINAPI CvlDiagLiveDrawings(void);

#ifdef __cplusplus
}

namespace cvldiag {

inline std::string Text(int (WINAPI* get)(LPSTR, int)) {
    int n = get(nullptr, 0);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    get(&s[0], n + 1);
    s.resize(static_cast<size_t>(n));
    return s;
}

inline std::string LoadError() { return Text(CvlDiagLoadError); }
inline std::string LastStaleCall() { return Text(CvlDiagLastStaleCall); }

inline std::vector<std::string> Journal() {
    std::vector<std::string> out;
    for (int i = 0, n = CvlDiagJournalSize(); i < n; ++i) {
        int len = CvlDiagJournalEntry(i, nullptr, 0);
        std::string s(static_cast<size_t>(len) + 1, '\0');
        CvlDiagJournalEntry(i, &s[0], len + 1);
        s.resize(static_cast<size_t>(len));
        out.push_back(s);
    }
    return out;
}

// The journal entries whose function name is `function`.
inline std::vector<std::string> JournalOf(const std::string& function) {
    std::vector<std::string> out;
    for (auto& e : Journal())
        if (e.compare(0, function.size() + 1, function + "(") == 0) out.push_back(e);
    return out;
}

}  // namespace cvldiag
#endif

#endif
