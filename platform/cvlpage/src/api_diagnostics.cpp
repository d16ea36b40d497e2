// Exported diagnostic functions for the host and for tests.
#include "api_support.h"

using namespace cvl;

extern "C" {

int WINAPI CvlDiagLoadError(LPSTR buffer, int size) {
    const LoadError& e = State().lastLoadError;
    std::string text = e.message.empty() ? std::string() : e.Describe();
    CopyOut(text, buffer, size);
    return static_cast<int>(text.size());
}

void WINAPI CvlDiagLoadErrorPosition(int* line, int* column) {
    if (line) *line = State().lastLoadError.line;
    if (column) *column = State().lastLoadError.column;
}

DWORD WINAPI CvlDiagStaleHandleCount(void) { return State().staleCount; }

void WINAPI CvlDiagResetStaleHandleCount(void) {
    State().staleCount = 0;
    State().lastStaleCall.clear();
}

int WINAPI CvlDiagLastStaleCall(LPSTR buffer, int size) {
    CopyOut(State().lastStaleCall, buffer, size);
    return static_cast<int>(State().lastStaleCall.size());
}

void WINAPI CvlDiagSetJournal(int on) {
    State().journalOn = on != 0;
    State().journal.clear();
}

int WINAPI CvlDiagJournalSize(void) { return static_cast<int>(State().journal.size()); }

int WINAPI CvlDiagJournalEntry(int index, LPSTR buffer, int size) {
    const auto& journal = State().journal;
    if (index < 0 || static_cast<size_t>(index) >= journal.size()) {
        CopyOut("", buffer, size);
        return -1;
    }
    CopyOut(journal[static_cast<size_t>(index)], buffer, size);
    return static_cast<int>(journal[static_cast<size_t>(index)].size());
}

void WINAPI CvlDiagClearJournal(void) { State().journal.clear(); }

int WINAPI CvlDiagLiveDrawings(void) { return static_cast<int>(State().LiveDrawings()); }

}  // extern "C"
