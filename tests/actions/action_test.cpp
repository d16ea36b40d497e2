#include "action_test.h"

#include "cvlpage/diagnostics.h"
#include "effect_registry.h"
#include "render_cache.h"
#include "win32_control.h"

void ActionTest::SetUp() {
    w32_reset();
    w32_set_display_depth(32);
    CvlDiagSetJournal(0);
    CvlDiagResetStaleHandleCount();
}

void ActionTest::TearDown() {
    TearDownEffectRegistry();
    pages.clear();
    // The drawing palette is the module's; the next test starts a fresh window system.
    ReleaseDrawingPalette();
    EXPECT_EQ(0u, CvlDiagStaleHandleCount()) << cvldiag::LastStaleCall();
    EXPECT_EQ(0, w32_bad_handle_uses());
    CvlDiagSetJournal(0);
}

ActionPage& ActionTest::Open(const std::string& drawingText, const std::map<std::string, std::string>& attributes) {
    const int y = static_cast<int>(pages.size()) * 120;
    pages.push_back(std::make_unique<ActionPage>(0, y, attributes));
    pages.back()->Load(drawingText);
    return *pages.back();
}

void ActionTest::StartJournal() {
    CvlDiagSetJournal(0);
    CvlDiagSetJournal(1);
}
