// Figures of the script path that runs at every firing: reading a script into
// statements and verbs, finding handlers, and resolving names inside a group.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "engine_api.h"
#include "interpreter.h"
#include "symbol_paths.h"
#include "win32_control.h"

namespace {

const std::string kLinkScript = "CursorShape hand;StatusLine Click for the price list;as Lamp1, Lamp2 SymbolColor red";

void BM_ParseScript(benchmark::State& state)
{
    w32_reset();
    for (auto _ : state) {
        for (const std::string& statement : SplitStatements(kLinkScript)) {
            ParsedStatement parsed = ParseStatement(statement);
            benchmark::DoNotOptimize(parsed);
        }
    }
}
BENCHMARK(BM_ParseScript);

// A statement aimed at N targets: reading it grows with its length only.
void BM_ParseTargetList(benchmark::State& state)
{
    w32_reset();
    std::string statement = "as ";
    for (int i = 0; i < state.range(0); ++i) {
        statement += "Lamp" + std::to_string(i) + ", ";
    }
    statement += "Last HideSymbol";
    for (auto _ : state) {
        ParsedStatement parsed = ParseStatement(statement);
        benchmark::DoNotOptimize(parsed);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseTargetList)->Arg(10)->Arg(1000)->Arg(100000)->Complexity();

void BM_FindActionHandler(benchmark::State& state)
{
    w32_reset();
    RunAction(nullptr, 0, "", "");  // builds the map, as the first statement of any instance does
    const char* const verbs[] = {"StatusLine", "cursorshape", "SYMBOLCOLOR", "NoSuchVerb"};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindActionHandler(verbs[i++ & 3]));
    }
}
BENCHMARK(BM_FindActionHandler);

// A member of a group of N, by name: one name read per member visited. Members are
// visited from the top of the stack, so the first one declared is the last found.
void BM_FindMemberByName(benchmark::State& state)
{
    w32_reset();
    const int members = static_cast<int>(state.range(0));
    std::string text = "vkdrawing 1\npage 100 100\nsymbol group\n  name \"Panel\"\n";
    for (int i = 0; i < members; ++i) {
        text += "  symbol rectangle\n    name \"Member" + std::to_string(i) + "\"\n    box 0 0 1 1\n  end\n";
    }
    text += "end\n";
    const std::string path = "vk-bench-members.vkf";
    std::ofstream(path) << text;
    CVLDRAWING drawing = LoadDrawing(path.c_str());
    const CVLSYMBOL panel = SymbolFromName(drawing, "Panel");
    const std::string wanted = "Member0";
    for (auto _ : state) {
        benchmark::DoNotOptimize(ResolveSymbolPath(drawing, panel, "->" + wanted));
    }
    FreeDrawing(drawing);
    std::remove(path.c_str());
}
BENCHMARK(BM_FindMemberByName)->Arg(10)->Arg(100)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
