// Costs on the spine's text paths: resolving a script's link against the
// drawing's URL, and reading a requested text in the browser's 1024-byte chunks.
#include <benchmark/benchmark.h>

#include <string>

#include "browser_link.h"
#include "url_resolution.h"

namespace {

void BM_ResolveRelativeLink(benchmark::State& state) {
    const std::string base = "http://www.example.com/drawings/plant/overview.vkf?view=2#top";
    for (auto _ : state) benchmark::DoNotOptimize(ResolveURL("../valves/v12.htm?open=1#detail", base));
}
BENCHMARK(BM_ResolveRelativeLink);

int found = 0;
void Count(InstanceData*, DWORD, const std::string&) { ++found; }

// A text of the given number of "name: value" lines whose key is on the last one,
// read in the chunks the browser hands over.
void BM_FindKeyOnLastLine(benchmark::State& state) {
    std::string text;
    for (int64_t i = 0; i < state.range(0); ++i) text += "name" + std::to_string(i) + ": value " + std::to_string(i) + "\r\n";
    text += "wanted: 42\r\n";
    for (auto _ : state) {
        KeyValueConsumer consumer(Count, 0, "Wanted");
        for (std::size_t at = 0; at < text.size(); at += 1024) {
            const std::size_t length = text.size() - at < 1024 ? text.size() - at : 1024;
            if (!consumer.OnData(nullptr, static_cast<LONG>(length), text.data() + at)) break;
        }
        consumer.OnEnd(nullptr, true);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_FindKeyOnLastLine)->Arg(100)->Arg(10000);

// One line of a megabyte without a break: the consumer keeps only its head.
void BM_OverlongLine(benchmark::State& state) {
    const std::string chunk(1024, 'x');
    for (auto _ : state) {
        KeyValueConsumer consumer(Count, 0, "key");
        for (int i = 0; i < 1024; ++i) consumer.OnData(nullptr, static_cast<LONG>(chunk.size()), chunk.data());
        consumer.OnEnd(nullptr, true);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 1024 * 1024);
}
BENCHMARK(BM_OverlongLine);

}  // namespace
