// Links, status line and cursor shape: what the browser link is asked and what
// the view is told, for the argument forms scripts hand over.
#include <string>
#include <vector>

#include "action_test.h"
#include "cvlpage/diagnostics.h"
#include "navigation_actions.h"
#include "plugin_instance.h"
#include "view_window.h"

namespace {

const std::string kDrawing = DrawingText(Box("Lamp", 10, 10, 40, 30));

typedef void (*Handler)(InstanceData*, CVLSYMBOL, const std::string&);

}  // namespace

class NavigationActions : public ActionTest {};

TEST_F(NavigationActions, LinkVerbsHandTheirArgumentOnUnchanged) {
    struct Case {
        const char* verb;
        Handler handler;
        const char* argument;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"Jump", JumpAction, "prices.html", {"GotoURL [prices.html] null"}},
        {"Jump", JumpAction, " spaced.html ", {"GotoURL [ spaced.html ] null"}},
        {"InplaceJump", InplaceJumpAction, "next.vkf", {"LoadInPlace [next.vkf]"}},
        {"StatusLine", StatusLineAction, "", {"ShowStatus []"}},
        {"StatusLine", StatusLineAction, "  Click here ", {"ShowStatus [  Click here ]"}},
        {"TargetJump", TargetJumpAction, "_blank http://host/a.html", {"GotoURL [http://host/a.html] [_blank]"}},
        {"TargetJump", TargetJumpAction, "frame2  a b.html", {"GotoURL [ a b.html] [frame2]"}},
        {"TargetJump", TargetJumpAction, "frame2 ", {"GotoURL [] [frame2]"}},
        {"TargetJump", TargetJumpAction, "nowhere", {}},
        {"TargetJump", TargetJumpAction, " http://host/a.html", {}},
        {"TargetJump", TargetJumpAction, "", {}},
    };
    ActionPage& page = Open(kDrawing);
    const CVLSYMBOL lamp = page.Symbol("Lamp");
    StartJournal();
    for (const Case& c : cases) {
        page.Link().calls.clear();
        c.handler(page.Data(), lamp, c.argument);
        EXPECT_EQ(c.calls, page.Link().calls) << c.verb << " [" << c.argument << "]";
    }
    // Links never touch the drawing.
    EXPECT_EQ(std::vector<std::string>{}, JournalOf({}));
}

TEST_F(NavigationActions, JumpAimedAtThreeTargetsAsksThreeTimes) {
    ActionPage& page = Open(DrawingText(Box("A", 0, 0, 10, 10) + Box("B", 20, 0, 30, 10) + Box("C", 40, 0, 50, 10)));
    for (const char* name : {"A", "B", "C"}) JumpAction(page.Data(), page.Symbol(name), "../up.html");
    EXPECT_EQ(std::vector<std::string>(3, "GotoURL [../up.html] null"), page.Link().calls);
}

TEST_F(NavigationActions, CursorShapeWords) {
    struct Case {
        const char* argument;
        LONG shape;
    };
    const Case cases[] = {
        {"hand", 1}, {"Hand", 1}, {"LINK", 1}, {" \thand\r\n", 1}, {"link ", 1},
        {"arrow", 0}, {"", 0}, {"hands", 0}, {"han d", 0}, {"pointer", 0},
    };
    ActionPage& page = Open(kDrawing);
    for (const Case& c : cases) {
        // Start from the other shape, so that every case has to write.
        page.Data()->view->cursorShape = 1 - c.shape;
        CursorShapeAction(page.Data(), page.Symbol("Lamp"), c.argument);
        EXPECT_EQ(c.shape, page.Data()->view->cursorShape) << "[" << c.argument << "]";
    }
}

TEST_F(NavigationActions, HandlersWithoutLinkOrViewDoNothing) {
    InstanceData bare;
    JumpAction(&bare, 0, "a.html");
    TargetJumpAction(&bare, 0, "_top a.html");
    InplaceJumpAction(&bare, 0, "a.vkf");
    StatusLineAction(&bare, 0, "text");
    CursorShapeAction(&bare, 0, "hand");
    EXPECT_EQ(nullptr, bare.view);
}
