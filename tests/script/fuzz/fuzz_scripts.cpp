// Fuzzes the script language: splitting, statement reading, merging converted
// link statements, and running whole scripts against a small drawing of the
// engine stand-in (without a window or a browser).
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "browser_link.h"
#include "cvlpage/diagnostics.h"
#include "interpreter.h"
#include "legacy_links.h"
#include "plugin_instance.h"
#include "win32_control.h"

namespace {

// Stands in for the browser: takes requests and drops them.
class SilentLink : public BrowserLink {
public:
    void GotoURL(const char*, const char*) override {}
    void LoadInPlace(const char*) override {}
    void ShowStatus(const char*) override {}
    void RequestURL(const char*, UrlConsumer* consumer) override { delete consumer; }
};

const char kDrawing[] =
    "vkdrawing 1\npage 100 100\nlayer 1 shown\nlayer 2 hidden\n"
    "symbol group\n  name \"Panel\"\n"
    "  symbol rectangle\n    name \"Lamp\"\n    box 0 0 10 10\n    fill #ff0000\n"
    "    property \"OnLoad\" \"StatusLine x\"\n  end\n"
    "  symbol text\n    name \"Label\"\n    at 20 20\n    text \"hi\"\n  end\n"
    "end\n"
    "symbol ellipse\n  name \"Lamp\"\n  layer 2\n  box 30 30 60 60\n  fill #00ff00\n"
    "  property \"urllink\" \"inplace a.vkf\"\nend\n";

// Statements merged into the whole script per input.
constexpr size_t kMergedStatements = 4;

std::string& DrawingPath()
{
    static std::string path;
    return path;
}

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char name[] = "/tmp/vk-fuzz-scriptsXXXXXX";
    int fd = mkstemp(name);
    Check(fd >= 0);
    FILE* file = fdopen(fd, "w");
    std::fputs(kDrawing, file);
    std::fclose(file);
    DrawingPath() = name;
    w32_reset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size == 0) {
        return 0;
    }
    w32_set_code_page((bytes[0] & 1) ? 932 : 1252);
    const std::string text(reinterpret_cast<const char*>(bytes) + 1, size - 1);

    const std::vector<std::string> statements = SplitStatements(text);
    for (size_t i = 0; i < statements.size(); ++i) {
        const std::string& statement = statements[i];
        Check(statement.size() <= text.size());
        ParsedStatement parsed = ParseStatement(statement);
        Check(parsed.verb.size() + parsed.argument.size() <= statement.size());
        // A merge reads the whole script again: merging every statement would make an
        // input cost the square of its statements, and the first few take every path.
        if (i >= kMergedStatements) {
            continue;
        }
        std::string merged = text;
        MergeStatement(merged, statement);
        Check(merged.size() >= statement.size() &&
              merged.compare(merged.size() - statement.size(), statement.size(), statement) == 0);
    }

    CvlDiagResetStaleHandleCount();
    {
        InstanceData data;
        data.link.reset(new SilentLink);
        data.attributes["fill"] = "blue";
        data.attributes["again"] = "%fill";
        data.drawingFile = DrawingPath();
        data.drawing = LoadDrawing(DrawingPath().c_str());
        Check(data.drawing != 0);
        CVLSYMBOL lamp = SymbolFromName(data.drawing, "Lamp");
        // Timed effects step on the clock; a few steps run their handlers too.
        RunEventScript(&data, lamp, text);
        w32_advance_clock(1000);
        Check(data.eventDepth == 0 && !data.loadPassRunning);
    }
    Check(CvlDiagStaleHandleCount() == 0);
    // Killed timers leave the window system's list only when the clock moves: moving
    // it here frees them with the input that made them, so that libFuzzer's leak
    // check does not take the next input for a leak and run it twice.
    w32_advance_clock(0);
    return 0;
}
