// Pages built to exhaust the plug-in, run as scenarios through the browser
// stand-in with the real module. The big inputs are generated here, at test time,
// into a folder of the test's own. Each scenario must keep the browser responsive
// (no scenario line, and so no single call made within it, longer than its
// bound), keep its memory bounded, show what the page asks for and leave nothing
// behind. docs/limits.md gives the bounds and the figures measured.
#include <gtest/gtest.h>

#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "browser.h"
#include "cvlpage/diagnostics.h"
#include "host_log.h"
#include "leftovers.h"
#include "scenario.h"
#include "scenario_runner.h"

namespace {

// Sanitized builds run several times slower, use more memory per allocation and
// hold freed memory back (up to 256 MB); their bounds are the release bounds
// times these factors, plus that quarantine.
// They also run every page at a tenth of its size (the nesting depth excepted):
// the sanitizers look for memory errors, which the smaller pages show as well,
// and a sanitized debug build would take minutes over the full ones.
#ifdef VK_SANITIZED_BUILD
const int kShrink = 10;
const double kTimeSlack = 8.0;
const double kMemorySlack = 3.0;
const double kMemoryHeldBackMb = 256.0;
#else
const int kShrink = 1;
const double kTimeSlack = 1.0;
const double kMemorySlack = 1.0;
const double kMemoryHeldBackMb = 0.0;
#endif

struct Bounds {
    double lineSeconds;  // longest scenario line, in processor time
    double memoryMb;     // growth of the process's peak resident memory
};

struct Outcome {
    double longestLineSeconds = 0;
    std::string longestLine;
    double memoryGrowthMb = 0;
    std::vector<std::string> log;
    std::vector<std::string> leftovers;
    std::vector<std::string> loadErrors;  // drawings the engine refused, with its reason
};

long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size() + 1));
    return 0;
}

class LimitScenario : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("vk-limits-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    void Write(const std::string& name, const std::string& text) {
        std::ofstream(folder / name, std::ios::binary) << text;
    }

    // Writes a file piece by piece, so even the biggest input is never held whole.
    void WriteInPieces(const std::string& name, const std::function<bool(std::string&)>& nextPiece) {
        std::ofstream out(folder / name, std::ios::binary);
        std::string piece;
        while (nextPiece(piece)) {
            out << piece;
            piece.clear();
        }
    }

    Outcome Run(const std::string& scenario, const Bounds& bounds) {
        Outcome outcome;
        CvlDiagResetStaleHandleCount();
        std::ofstream("/proc/self/clear_refs") << "5";  // restarts the peak memory count
        const long baselineKb = StatusKb("VmRSS");
        vkhost::HostLog log;
        {
            vkhost::Browser browser(log);
            std::string error;
            if (!browser.LoadPlugin(NPVKNT_PLUGIN, error)) {
                ADD_FAILURE() << error;
                return outcome;
            }
            browser.Serve(folder.string(), "http://pages.test/");
            browser.OnFileDelivered([&outcome](const std::string& url) {
                std::string error = cvldiag::LoadError();
                if (!error.empty()) outcome.loadErrors.push_back(url + ": " + error);
            });
            for (const vkhost::ScenarioStep& step : vkhost::ParseScenario(scenario, "limit.scn")) {
                // Processor time, not wall time: what the browser and plug-in spend on
                // the line, whatever else a busy machine runs beside them.
                const std::clock_t start = std::clock();
                try {
                    vkhost::RunScenario(browser, {step}, "limit.scn");
                } catch (const std::exception& failure) {
                    ADD_FAILURE() << failure.what();
                }
                const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
                if (seconds > outcome.longestLineSeconds) {
                    outcome.longestLineSeconds = seconds;
                    outcome.longestLine = "line " + std::to_string(step.line);
                }
            }
            browser.Close();
            if (browser.SubclassesLeft()) outcome.leftovers.push_back("a window left subclassed");
        }
        outcome.memoryGrowthMb = double(StatusKb("VmHWM") - baselineKb) / 1024.0;
        for (const std::string& left : vkhost::Leftovers()) outcome.leftovers.push_back(left);
        outcome.log = log.Lines();

        // The figures, for docs/limits.md.
        std::printf("[ figures  ] longest line %.3f s (%s), peak memory growth %.1f MB\n",
                    outcome.longestLineSeconds, outcome.longestLine.c_str(), outcome.memoryGrowthMb);
        EXPECT_LE(outcome.longestLineSeconds, bounds.lineSeconds * kTimeSlack) << outcome.longestLine;
        EXPECT_LE(outcome.memoryGrowthMb, bounds.memoryMb * kMemorySlack + kMemoryHeldBackMb);
        EXPECT_EQ(outcome.leftovers, std::vector<std::string>{});
        for (const std::string& error : outcome.loadErrors) std::printf("[ refused  ] %s\n", error.c_str());
        return outcome;
    }

    // An output file of the scenario (shot, print), inside the test's folder.
    std::string Output(const std::string& name) const { return (folder / name).string(); }

    // Whether the log holds the line; on failure, the log's head says what happened.
    static ::testing::AssertionResult Logged(const Outcome& outcome, const std::string& line) {
        for (const std::string& logged : outcome.log)
            if (logged == line) return ::testing::AssertionSuccess();
        std::string head;
        for (size_t i = 0; i < outcome.log.size() && i < 12; ++i) head += "\n  " + outcome.log[i].substr(0, 120);
        return ::testing::AssertionFailure() << "no line \"" << line.substr(0, 60) << "\" in the log:" << head;
    }

    std::filesystem::path folder;
};

std::string Embed(const std::string& src, int width, int height) {
    return "<embed src=" + src + " width=" + std::to_string(width) + " height=" + std::to_string(height) + ">\n";
}

// A rectangle with the given event script, in drawing units.
std::string Rectangle(const std::string& name, int left, int top, int right, int bottom,
                      const std::string& properties = "") {
    return "symbol rectangle\n name \"" + name + "\"\n fill #336699\n stroke none\n box " + std::to_string(left) +
           " " + std::to_string(top) + " " + std::to_string(right) + " " + std::to_string(bottom) + "\n" +
           properties + "end\n";
}

TEST_F(LimitScenario, DrawingOfAHundredThousandSymbols) {
    // 400 x 250 symbols of 2 x 2 units on a page of 800 x 500, each with a script.
    const int columns = 400 / kShrink;
    WriteInPieces("many.vkf", [row = -1, columns](std::string& piece) mutable {
        if (row == -1) {
            piece = "vkdrawing 1\npage " + std::to_string(columns * 2) + " 500\n";
        } else if (row < 250) {
            for (int column = 0; column < columns; ++column) {
                const std::string number = std::to_string(row * columns + column);
                piece += Rectangle("s" + number, column * 2, row * 2, column * 2 + 2, row * 2 + 2,
                                   " property \"OnMouseEnter\" \"StatusLine found " + number + "\"\n");
            }
        } else {
            return false;
        }
        ++row;
        return true;
    });
    Write("page.html", Embed("many.vkf", 400, 250));
    Outcome outcome = Run("open page.html\nmove 1 201 126\nwait 100\nresize 1 300 200\nshot " + Output("page.png") + "\n",
                          Bounds{3.0, 160});
    bool found = false;
    for (const std::string& line : outcome.log) found = found || line.rfind("status found ", 0) == 0;
    EXPECT_TRUE(found) << "the symbol under the pointer did not run its script";
}

TEST_F(LimitScenario, GroupsNestedAsDeepAsTheEngineAllows) {
    // The engine reads symbols nested 64 levels deep (63 groups round a member) and
    // refuses a 65th level: the first drawing works to its innermost symbol, the
    // second shows nothing and holds nothing.
    // Events fire on the outermost group, which turns, spins, hides and shows the whole nest.
    auto nested = [](int depth) {
        std::string text = "vkdrawing 1\npage 100 100\n";
        for (int level = 0; level < depth; ++level) {
            text += "symbol group\n name \"g" + std::to_string(level) + "\"\n";
            if (level == 0)
                text += " property \"OnMouseEnter\" \"StatusLine deep;SpinObjectCW 50 4 1\"\n"
                        " property \"OnMouseUp\" \"HideSymbol;ShowSymbol;RotateObject 90\"\n";
        }
        text += Rectangle("core", 10, 10, 90, 90);
        for (int level = 0; level < depth; ++level) text += "end\n";
        return text;
    };
    Write("deep.vkf", nested(63));
    Write("deeper.vkf", nested(64));
    Write("page.html", Embed("deep.vkf", 100, 100) + Embed("deeper.vkf", 100, 100));
    Outcome outcome = Run("open page.html\nmove 1 50 50\nclick\nwait 300\nmove 2 50 50\nclick\n", Bounds{1.0, 16});
    EXPECT_TRUE(Logged(outcome, "status deep"));
    int statuses = 0;
    for (const std::string& line : outcome.log) statuses += line == "status deep" ? 1 : 0;
    EXPECT_EQ(statuses, 1) << "the drawing nested too deep must show nothing";
}

TEST_F(LimitScenario, ScriptOfAMillionCharacters) {
    std::string script = "StatusLine start;";
    const size_t size = 1000000 / kShrink;
    while (script.size() < size - 20) script += "CursorShape hand;";
    script += "StatusLine end";
    ASSERT_GE(script.size(), size);
    Write("script.vkf", "vkdrawing 1\npage 100 100\n" +
                            Rectangle("long", 0, 0, 100, 100, " property \"OnMouseEnter\" \"" + script + "\"\n"));
    Write("page.html", Embed("script.vkf", 100, 100));
    Outcome outcome = Run("open page.html\nmove 1 50 50\nmove 1 150 150\nmove 1 50 50\n", Bounds{2.0, 32});
    // The cursor shows once the script has run.
    const std::vector<std::string> expected = {"status start", "status end", "cursor hand"};
    std::vector<std::string> shown;
    for (const std::string& line : outcome.log)
        if (line.rfind("status", 0) == 0 || line.rfind("cursor", 0) == 0) shown.push_back(line);
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + 3), expected);
}

TEST_F(LimitScenario, HundredMegabyteLabelFileWithItsLabelAtTheEnd) {
    const long long kSize = 100LL * 1000 * 1000 / kShrink;
    const std::string filler = "filler: " + std::string(90, 'x') + "\r\n";  // 100 bytes a line
    WriteInPieces("labels.txt", [written = 0LL, &filler, kSize](std::string& piece) mutable {
        if (written >= kSize) return false;
        for (int i = 0; i < 10000 && written < kSize - 200; ++i, written += 100) piece += filler;
        if (written >= kSize - 200) {
            piece += "price: 42 dollars\n";
            written = kSize;
        }
        return true;
    });
    Write("label.vkf", "vkdrawing 1\npage 100 100\n" +
                           Rectangle("price", 0, 0, 100, 100,
                                     " property \"OnMouseEnter\" \"StatusLine !label price labels.txt\"\n"));
    Write("page.html", Embed("label.vkf", 100, 100));
    // The browser stand-in reads the whole file to serve it; the plug-in keeps at
    // most one line of it.
    Outcome outcome = Run("open page.html\nmove 1 50 50\n", Bounds{10.0, 100 + 64});
    EXPECT_TRUE(Logged(outcome, "status 42 dollars"));
}

TEST_F(LimitScenario, StatusTextOfAMegabyte) {
    std::string text;
    for (int i = 0; text.size() < size_t(1000000 / kShrink); ++i) text += "status " + std::to_string(i) + " ";
    Write("status.vkf", "vkdrawing 1\npage 100 100\n" +
                            Rectangle("talker", 0, 0, 100, 100,
                                      " property \"OnMouseEnter\" \"StatusLine " + text + "\"\n"
                                      " property \"OnMouseLeave\" \"StatusLine\"\n"));
    Write("page.html", Embed("status.vkf", 100, 100));
    Outcome outcome = Run("open page.html\nmove 1 50 50\nmove 1 150 150\n", Bounds{1.0, 32});
    EXPECT_TRUE(Logged(outcome, "status " + text));
    EXPECT_TRUE(Logged(outcome, "status "));
}

TEST_F(LimitScenario, ThousandEmbedsOnOnePage) {
    Write("small.vkf", "vkdrawing 1\npage 16 12\n" +
                           Rectangle("cell", 0, 0, 16, 12,
                                     " property \"OnMouseEnter\" \"StatusLine cell\"\n"
                                     " property \"OnLoad\" \"SymbolColor %colour\"\n"));
    const int embeds = 1000 / kShrink;
    std::string page;
    for (int i = 0; i < embeds; ++i) page += "<embed src=small.vkf width=16 height=12 colour=#00FF00>\n";
    Write("page.html", page);
    Write("other.html", Embed("small.vkf", 16, 12));
    Outcome outcome = Run("open page.html\nmove " + std::to_string(embeds) + " 5 5\ndestroy " +
                              std::to_string(embeds / 2) + "\nshot " + Output("page.png") + "\nopen other.html\n",
                          Bounds{3.0, 64});
    EXPECT_TRUE(Logged(outcome, "status cell"));
    int drawings = 0;
    for (const std::string& line : outcome.log) drawings += line == "stream http://pages.test/small.vkf file" ? 1 : 0;
    EXPECT_EQ(drawings, embeds + 1);
}

TEST_F(LimitScenario, TenThousandTimedEffectsAtOnce) {
    // Every symbol flashes from the moment the drawing loads, 100 ms a phase.
    WriteInPieces("flashing.vkf", [row = -1](std::string& piece) mutable {
        if (row == -1) {
            piece = "vkdrawing 1\npage 400 250\n";
        } else if (row < 100 / kShrink) {
            for (int column = 0; column < 100; ++column)
                piece += Rectangle("f" + std::to_string(row * 100 + column), column * 4, row * 2, column * 4 + 3,
                                   row * 2 + 2, " property \"OnLoad\" \"FlashObject 200 6\"\n");
        } else {
            return false;
        }
        ++row;
        return true;
    });
    Write("page.html", Embed("flashing.vkf", 400, 250));
    // Each wait is one round of ticks of every effect, then one paint.
    Outcome outcome =
        Run("open page.html\nwait 100\nwait 100\nwait 100\nwait 100\nshot " + Output("page.png") +
                "\ndestroy 1\nwait 1000\n",
            Bounds{2.0, 64});
    (void)outcome;
}

}  // namespace
