// The exported functions: queries, edits, enumeration and handle checks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_fixture.h"

using namespace enginetest;

namespace {

const char kPanel[] = R"(vkdrawing 1
page 200 100
layer 1 shown
layer 2 shown
layer 3 hidden
symbol rectangle
  name "Back"
  fill #C0C0C0
  stroke none
  box 0 0 200 100
  property "OnLoad" "StatusLine ready"
end
symbol group
  name "Panel"
  symbol rectangle
    name "Lamp"
    fill #FF0000
    stroke none
    box 20 20 60 40
    property "OnMouseUp" "Jump \"a;b\":c\nd"
  end
  symbol group
    name "Lamp"
    symbol ellipse
      name "Bulb"
      fill hatch #00FF00
      box 100 20 140 60
    end
  end
end
symbol text
  name "Caption"
  layer 2
  at 10 80
  text "Hi"
end
symbol rectangle
  name "Note box"
  layer 3
  fill #FFFF00
  box 150 10 190 30
end
)";

std::string Name(CVLDRAWING d, CVLSYMBOL s) {
    int n = GetSymbolNameLength(d, s);
    if (n < 1) return "";
    std::string out(static_cast<size_t>(n) + 1, '\0');
    GetSymbolName(d, s, &out[0], n + 1);
    out.resize(static_cast<size_t>(n));
    return out;
}

std::string Property(CVLDRAWING d, CVLSYMBOL s, const char* name) {
    int n = GetPropertyLength(d, s, name);
    if (n < 0) return "<absent>";
    std::string out(static_cast<size_t>(n) + 1, '\0');
    GetProperty(d, s, name, &out[0], n + 1);
    out.resize(static_cast<size_t>(n));
    return out;
}

using EngineApi = EngineTest;

TEST_F(EngineApi, NamesAreFoundExactlyAndTopLevelFirst) {
    LoadedDrawing d(kPanel);
    EXPECT_EQ(Name(d.get(), d.Symbol("Note box")), "Note box");
    EXPECT_EQ(SymbolFromName(d.get(), "note box"), 0u) << "names compare with case";
    EXPECT_EQ(SymbolFromName(d.get(), ""), 0u);
    CVLSYMBOL lamp = d.Symbol("Lamp");
    int type = -1;
    GetSymbolFillType(d.get(), lamp, &type);
    EXPECT_EQ(type, CVL_FILL_SOLID) << "the shallower of the two Lamps";
    EXPECT_NE(d.Symbol("Bulb"), 0u) << "nested symbols are found too";
}

TEST_F(EngineApi, PropertiesAreReadCreatedAndReplaced) {
    LoadedDrawing d(kPanel);
    CVLSYMBOL lamp = d.Symbol("Lamp");
    EXPECT_EQ(Property(d.get(), lamp, "OnMouseUp"), "Jump \"a;b\":c\nd");
    EXPECT_EQ(Property(d.get(), lamp, "onmouseup"), "<absent>");
    EXPECT_TRUE(SetProperty(d.get(), lamp, "__ae", "__ae"));
    EXPECT_EQ(Property(d.get(), lamp, "__ae"), "__ae");
    EXPECT_TRUE(SetProperty(d.get(), lamp, "OnMouseUp", ""));
    EXPECT_EQ(GetPropertyLength(d.get(), lamp, "OnMouseUp"), 0) << "present and empty";

    char small[4] = "xyz";
    EXPECT_EQ(GetProperty(d.get(), lamp, "__ae", small, 3), 2);
    EXPECT_STREQ(small, "__") << "truncated and terminated";
    EXPECT_EQ(GetSymbolNameLength(d.get(), d.Symbol("Bulb")), 4);
}

TEST_F(EngineApi, UnnamedSymbolsHaveNoName) {
    LoadedDrawing d("vkdrawing 1\npage 10 10\nsymbol rectangle\n box 0 0 5 5\nend\n");
    std::vector<CVLSYMBOL> all;
    EnumSymbols(
        d.get(), [](CVLSYMBOL s, void* c) { static_cast<std::vector<CVLSYMBOL>*>(c)->push_back(s); return 0; }, &all,
        50);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_LT(GetSymbolNameLength(d.get(), all[0]), 1);
}

struct Visit {
    CVLDRAWING drawing;
    std::vector<std::string> names;
    int stopAfter = 1000;
    void (*during)(Visit&, CVLSYMBOL) = nullptr;
};

int WINAPI Record(CVLSYMBOL s, void* context) {
    auto& v = *static_cast<Visit*>(context);
    v.names.push_back(Name(v.drawing, s));
    if (v.during) v.during(v, s);
    return static_cast<int>(v.names.size()) >= v.stopAfter ? 1 : 0;
}

TEST_F(EngineApi, EnumerationsVisitEverySymbolOnceAndStopWhenAsked) {
    LoadedDrawing d(kPanel);
    Visit all{d.get(), {}};
    EnumSymbols(d.get(), Record, &all, CVL_ENUM_EVERY_SYMBOL);
    EXPECT_EQ(all.names, (std::vector<std::string>{"Back", "Panel", "Lamp", "Lamp", "Bulb", "Caption", "Note box"}));

    Visit members{d.get(), {}};
    EnumGroupedSymbol(d.get(), d.Symbol("Panel"), Record, &members, CVL_ENUM_MEMBERS);
    EXPECT_EQ(members.names, (std::vector<std::string>{"Lamp", "Lamp"})) << "direct members, top first";

    Visit shownOnly{d.get(), {}};
    EnumSymbols(d.get(), Record, &shownOnly, CVL_ENUM_NESTED | CVL_ENUM_BOTTOM_UP);
    EXPECT_EQ(shownOnly.names.size(), 6u) << "the symbol on the hidden layer is left out";

    Visit two{d.get(), {}, 2};
    EnumSymbols(d.get(), Record, &two, 50);
    EXPECT_EQ(two.names.size(), 2u);
    Visit one{d.get(), {}, 1};
    EnumGroupedSymbol(d.get(), d.Symbol("Panel"), Record, &one, 32);
    EXPECT_EQ(one.names.size(), 1u);
}

TEST_F(EngineApi, EnumerationToleratesCallbacksThatChangeTheDrawing) {
    LoadedDrawing d(kPanel);
    d.Layout({0, 0, 200, 100});
    Visit v{d.get(), {}};
    v.during = [](Visit& visit, CVLSYMBOL s) {
        MoveSymbolToTop(visit.drawing, s);
        MoveSymbolToBottom(visit.drawing, s);
        StepSymbolUp(visit.drawing, s);
        SetSymbolVisibleFlag(visit.drawing, s, 0);
        POINT offset{3, 1};
        MoveSymbol(visit.drawing, s, &offset);
        SetProperty(visit.drawing, s, "seen", "1");
    };
    EnumSymbols(d.get(), Record, &v, 50);
    EXPECT_EQ(v.names.size(), 7u) << "each symbol once, whatever the callback restacks";

    // A callback that frees the drawing ends the enumeration without touching it
    // again; going on after the free is the caller's fault, and counted as one.
    const struct {
        const char* what;
        int stopAfter;
        DWORD staleUses;
    } frees[] = {{"callback asks to stop", 1, 0u}, {"callback asks to go on", 1000, 1u}};
    for (const auto& c : frees) {
        SCOPED_TRACE(c.what);
        CvlDiagResetStaleHandleCount();
        CVLDRAWING other = LoadDrawing(WriteFile("other.vkf", kPanel).c_str());
        Visit freeing{other, {}, c.stopAfter};
        freeing.during = [](Visit& visit, CVLSYMBOL) { FreeDrawing(visit.drawing); };
        EnumSymbols(other, Record, &freeing, 50);
        EXPECT_EQ(freeing.names.size(), 1u);
        EXPECT_EQ(CvlDiagStaleHandleCount(), c.staleUses);
    }
}

TEST_F(EngineApi, StaleHandlesAreRefusedAndCounted) {
    LoadedDrawing d(kPanel);
    LoadedDrawing other(kPanel);
    CVLSYMBOL foreign = other.Symbol("Lamp");
    CVLDRAWING freed = LoadDrawing(WriteFile("freed.vkf", kPanel).c_str());
    CVLSYMBOL freedSymbol = SymbolFromName(freed, "Lamp");
    FreeDrawing(freed);
    ASSERT_EQ(CvlDiagStaleHandleCount(), 0u);

    RECT r{1, 2, 3, 4};
    POINT p{1, 1};
    int type = 0;
    COLORREF colour = 0;
    char buffer[8] = "";
    struct Call {
        const char* what;
        int result;
    };
    const Call calls[] = {
        {"free twice", FreeDrawing(freed)},
        {"rect of freed", GetSymbolRect(freed, freedSymbol, &r)},
        {"symbol of another drawing", GetSymbolRect(d.get(), foreign, &r)},
        {"drawing as symbol", GetSymbolRect(d.get(), d.get(), &r)},
        {"symbol 0", SetSymbolVisibleFlag(d.get(), 0, 0)},
        {"drawing 0", GetNumberOfLayers(0)},
        {"name", GetSymbolNameLength(d.get(), foreign) >= 0},
        {"property", GetPropertyLength(freed, freedSymbol, "OnLoad") >= 0},
        {"set property", SetProperty(d.get(), foreign, "x", "y")},
        {"fill type", GetSymbolFillType(d.get(), foreign, &type)},
        {"solid fill", GetSolidSymbolFill(d.get(), foreign, &colour)},
        {"move", MoveSymbol(d.get(), foreign, &p)},
        {"rotate", RotateSymbol(d.get(), foreign, 10, &p)},
        {"to top", MoveSymbolToTop(d.get(), foreign)},
        {"enum group", EnumGroupedSymbol(d.get(), foreign, Record, nullptr, 32)},
        {"draw", DrawPage(freed, nullptr, &r, nullptr, 0, 4, 9, 100)},
        {"hit", SymbolFromPoint(freed, &p, &type, 0) != 0},
        {"get name", GetSymbolName(d.get(), foreign, buffer, 8) != 0},
    };
    for (const Call& c : calls) EXPECT_EQ(c.result, 0) << c.what;
    EXPECT_EQ(CvlDiagStaleHandleCount(), sizeof calls / sizeof calls[0]);
    EXPECT_EQ(r.left, 1) << "nothing written through refused calls";
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(cvldiag::LastStaleCall(), "GetSymbolName(" + std::to_string(d.get()) + ", " + std::to_string(foreign) + ")");
    EXPECT_EQ(Name(d.get(), d.Symbol("Lamp")), "Lamp") << "the drawing itself is untouched";
    CvlDiagResetStaleHandleCount();
}

TEST_F(EngineApi, LayersCountShowHideAndCurrent) {
    LoadedDrawing d(kPanel);
    d.Layout({0, 0, 200, 100});
    EXPECT_EQ(GetNumberOfLayers(d.get()), 3);
    EXPECT_EQ(GetLayerVisibleFlag(d.get(), 3), 0);
    POINT inNote{170, 20};
    int tolerance = 2;
    EXPECT_EQ(SymbolFromPoint(d.get(), &inNote, &tolerance, 0), d.Symbol("Back"));
    EXPECT_TRUE(SetLayerVisibleFlag(d.get(), 3, 1));
    EXPECT_EQ(SymbolFromPoint(d.get(), &inNote, &tolerance, 0), d.Symbol("Note box"));
    for (int layer : {0, -1, 4}) {
        EXPECT_EQ(SetLayerVisibleFlag(d.get(), layer, 1), 0) << layer;
        EXPECT_EQ(GetLayerVisibleFlag(d.get(), layer), 0) << layer;
        EXPECT_EQ(SetCurrentLayer(d.get(), layer), 0) << layer;
    }
    EXPECT_TRUE(SetCurrentLayer(d.get(), 2));
    EXPECT_EQ(CvlDiagStaleHandleCount(), 0u) << "odd layer numbers are not stale handles";
}

TEST_F(EngineApi, HiddenSymbolsAreNotHitButKeepTheirBounds) {
    LoadedDrawing d(kPanel);
    d.Layout({0, 0, 400, 200});
    CVLSYMBOL lamp = d.Symbol("Lamp");
    POINT p{80, 60};
    int tolerance = 2;
    EXPECT_EQ(SymbolFromPoint(d.get(), &p, &tolerance, CVL_HIT_OUTERMOST), d.Symbol("Panel"));
    EXPECT_EQ(SymbolFromPoint(d.get(), &p, &tolerance, CVL_HIT_INNERMOST), lamp);
    SetSymbolVisibleFlag(d.get(), lamp, 0);
    EXPECT_EQ(GetSymbolVisibleFlag(d.get(), lamp), 0);
    EXPECT_EQ(SymbolFromPoint(d.get(), &p, &tolerance, 0), d.Symbol("Back"));
    RECT r;
    ASSERT_TRUE(GetSymbolRect(d.get(), lamp, &r));
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.bottom, 80);
}

TEST_F(EngineApi, MovesAndRotationsWorkInDevicePixels) {
    LoadedDrawing d(kPanel);
    d.Layout({0, 0, 400, 200});  // two device pixels per drawing unit
    CVLSYMBOL lamp = d.Symbol("Lamp");
    RECT r;
    ASSERT_TRUE(GetSymbolRect(d.get(), lamp, &r));
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{40, 40, 120, 80}));

    POINT offset{10, -6};
    MoveSymbol(d.get(), lamp, &offset);
    GetSymbolRect(d.get(), lamp, &r);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{50, 34, 130, 74}));

    POINT centre{90, 54};
    RotateSymbol(d.get(), lamp, 900, &centre);
    GetSymbolRect(d.get(), lamp, &r);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{70, 14, 110, 94}));
    POINT above{90, 20};
    int tolerance = 0;
    EXPECT_EQ(SymbolFromPoint(d.get(), &above, &tolerance, CVL_HIT_INNERMOST), lamp) << "the turned shape is hit";

    for (int i = 0; i < 3600; ++i) RotateSymbol(d.get(), lamp, 1, &centre);
    for (int i = 0; i < 36; ++i) RotateSymbol(d.get(), lamp, -100, &centre);
    RotateSymbol(d.get(), lamp, -900, &centre);
    GetSymbolRect(d.get(), lamp, &r);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{50, 34, 130, 74}))
        << "small turns adding up to whole ones give the shape back exactly";
}

TEST_F(EngineApi, MovingAGroupMovesItsTurnedMembers) {
    LoadedDrawing d(kPanel);
    d.Layout({0, 0, 200, 100});
    CVLSYMBOL panel = d.Symbol("Panel"), bulb = d.Symbol("Bulb");
    RECT before, after;
    GetSymbolRect(d.get(), bulb, &before);
    POINT centre{0, 0};
    RotateSymbol(d.get(), panel, 1800, &centre);
    POINT offset{5, 7};
    MoveSymbol(d.get(), bulb, &offset);  // in the screen's directions, though its group is upside down
    RotateSymbol(d.get(), panel, -1800, &centre);
    GetSymbolRect(d.get(), bulb, &after);
    EXPECT_EQ(after.left, before.left - 5);
    EXPECT_EQ(after.top, before.top - 7);
}

TEST_F(EngineApi, StackingMovesChangeWhatIsOnTop) {
    LoadedDrawing d(R"(vkdrawing 1
page 10 10
symbol rectangle
 name "A"
 fill #FF0000
 box 0 0 10 10
end
symbol rectangle
 name "B"
 fill #00FF00
 box 0 0 10 10
end
symbol rectangle
 name "C"
 fill #0000FF
 box 0 0 10 10
end
)");
    d.Layout({0, 0, 10, 10});
    POINT p{5, 5};
    int tolerance = 0;
    auto order = [&] {
        Visit v{d.get(), {}};
        EnumSymbols(d.get(), Record, &v, 50);
        std::string s;
        for (auto& n : v.names) s += n;
        return s + " top " + Name(d.get(), SymbolFromPoint(d.get(), &p, &tolerance, 0));
    };
    struct Step {
        int (WINAPI* move)(CVLDRAWING, CVLSYMBOL);
        const char* symbol;
        const char* after;
    };
    const Step steps[] = {
        {MoveSymbolToTop, "A", "BCA top A"},   {StepSymbolDown, "A", "BAC top C"}, {StepSymbolDown, "A", "ABC top C"},
        {StepSymbolDown, "A", "ABC top C"},    {StepSymbolUp, "C", "ABC top C"},   {MoveSymbolToBottom, "C", "CAB top B"},
        {StepSymbolUp, "C", "ACB top B"},
    };
    for (const Step& s : steps) {
        EXPECT_TRUE(s.move(d.get(), d.Symbol(s.symbol)));
        EXPECT_EQ(order(), s.after) << s.symbol;
    }
}

TEST_F(EngineApi, FillsAndTexts) {
    LoadedDrawing d(kPanel);
    int type = -1;
    COLORREF c = 0;
    GetSymbolFillType(d.get(), d.Symbol("Bulb"), &type);
    EXPECT_EQ(type, CVL_FILL_HATCH);
    GetSymbolFillType(d.get(), d.Symbol("Panel"), &type);
    EXPECT_EQ(type, CVL_FILL_NONE);
    EXPECT_TRUE(GetSolidSymbolFill(d.get(), d.Symbol("Back"), &c));
    EXPECT_EQ(c, RGB(0xC0, 0xC0, 0xC0));

    // A palette-relative colour sets its plain colour; a group passes it to its members.
    SetSolidSymbolFill(d.get(), d.Symbol("Panel"), 0x02000000 | RGB(1, 2, 3), CVL_FILL_WITH_MEMBERS);
    GetSymbolFillType(d.get(), d.Symbol("Bulb"), &type);
    GetSolidSymbolFill(d.get(), d.Symbol("Bulb"), &c);
    EXPECT_EQ(type, CVL_FILL_SOLID);
    EXPECT_EQ(c, RGB(1, 2, 3));

    d.Layout({0, 0, 200, 100});
    RECT r;
    CVLSYMBOL caption = d.Symbol("Caption");
    GetSymbolRect(d.get(), caption, &r);
    LONG narrow = r.right - r.left;
    EXPECT_TRUE(SetSymbolText(d.get(), caption, "Hello there"));
    GetSymbolRect(d.get(), caption, &r);
    EXPECT_GT(r.right - r.left, narrow * 4) << "the bounds follow the new text";
    EXPECT_EQ(SetSymbolText(d.get(), d.Symbol("Panel"), "x"), 0) << "groups have no text";
}

TEST_F(EngineApi, LoadFailuresSayWhereAndWhy) {
    std::string path = WriteFile("broken.vkf", "vkdrawing 1\npage 10 10\nsymbol rectangle\n box 0 0 1\nend\n");
    EXPECT_EQ(LoadDrawing(path.c_str()), 0u);
    EXPECT_EQ(cvldiag::LoadError(), path + ":4:11: expected a number");
    int line = 0, column = 0;
    CvlDiagLoadErrorPosition(&line, &column);
    EXPECT_EQ(line, 4);
    EXPECT_EQ(column, 11);
    EXPECT_EQ(LoadDrawing(nullptr), 0u);
    EXPECT_EQ(CvlDiagStaleHandleCount(), 0u);
    LoadedDrawing fine(kPanel);
    EXPECT_EQ(cvldiag::LoadError(), "");
}

TEST_F(EngineApi, ThePaletteBelongsToTheCaller) {
    HPALETTE a = GetDrawingPalette();
    ASSERT_NE(a, nullptr);
    PALETTEENTRY first{};
    EXPECT_EQ(GetPaletteEntries(a, 0, 1, &first), 1u);
    EXPECT_TRUE(DeleteObject(a));
    HPALETTE b = GetDrawingPalette();
    EXPECT_NE(b, nullptr);
    DeleteObject(b);
}

TEST_F(EngineApi, TheJournalRecordsCallsWithTheirArguments) {
    LoadedDrawing d(kPanel);
    CvlDiagSetJournal(1);
    RECT page{0, 0, 300, 200}, update{5, 6, 7, 8};
    DrawPage(d.get(), nullptr, &page, nullptr, 0, 4, 0x109, 100);
    DrawPage(d.get(), nullptr, &page, &update, 0, 4, 0x20, 100);
    POINT p{10, 7};
    int two = 2;
    SymbolFromPoint(d.get(), &p, &two, 0);
    SetProperty(d.get(), d.Symbol("Lamp"), "OnLoad", "A \"q\"\n");
    std::string h = std::to_string(d.get()), lamp = std::to_string(d.Symbol("Lamp"));
    EXPECT_EQ(cvldiag::Journal(), (std::vector<std::string>{
                                      "DrawPage(" + h + ", (0,0,300,200), null, 0, 4, 0x109, 100)",
                                      "DrawPage(" + h + ", (0,0,300,200), (5,6,7,8), 0, 4, 0x20, 100)",
                                      "SymbolFromPoint(" + h + ", (10,7), 2, 0)",
                                      "SymbolFromName(" + h + ", \"Lamp\")",
                                      "SetProperty(" + h + ", " + lamp + ", \"OnLoad\", \"A \\\"q\\\"\\n\")",
                                      "SymbolFromName(" + h + ", \"Lamp\")",
                                  }));
    EXPECT_EQ(cvldiag::JournalOf("DrawPage").size(), 2u);
}

}  // namespace
