// vkhost: the browser stand-in. Opens a page or a drawing and saves what it
// shows, or runs a scenario and prints the log of what the browser saw.
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "browser.h"
#include "cvlpage/diagnostics.h"
#include "leftovers.h"
#include "scenario.h"
#include "scenario_runner.h"
#include "win32_control.h"

namespace {

const char kUsage[] =
    "usage: vkhost [options] PAGE_OR_DRAWING --shot OUT.png\n"
    "       vkhost [options] --scenario FILE\n"
    "options:\n"
    "  --log FILE        write the log to FILE (a scenario's goes to standard output otherwise)\n"
    "  --plugin PATH     the plug-in module (default: " VKHOST_PLUGIN_FILE " in the lib folder beside bin)\n"
    "  --serve DIR       folder served under the base URL (default: the page's or scenario's folder)\n"
    "  --base URL        base URL of the served folder (default: http://pages.test/)\n"
    "  --viewport W H    size of the page (default: 800 600)\n"
    "  --display BITS    display depth: 8, 16, 24 or 32 (default: 24)\n"
    "  --check           after closing, fail if the plug-in passed the engine a stale handle,\n"
    "                    left drawings loaded, or left GDI objects, device contexts, timers\n"
    "                    or subclassed windows behind\n";

struct Options {
    std::string plugin, scenario, logFile, shot, serve, target;
    std::string base = "http://pages.test/";
    int viewportWidth = 800, viewportHeight = 600, displayBits = 24;
    bool check = false;
};

[[noreturn]] void UsageError(const std::string& message) {
    std::cerr << "vkhost: " << message << "\n" << kUsage;
    std::exit(2);
}

int ParseInt(const std::string& text, int low, int high, const char* what) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < low || value > high)
        UsageError(std::string("bad ") + what + " '" + text + "'");
    return static_cast<int>(value);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    auto next = [&](int& i, const char* option) -> std::string {
        if (i + 1 >= argc) UsageError(std::string(option) + " needs a value");
        return argv[++i];
    };
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            std::exit(0);
        } else if (arg == "--check") {
            options.check = true;
        } else if (arg == "--plugin") {
            options.plugin = next(i, "--plugin");
        } else if (arg == "--scenario") {
            options.scenario = next(i, "--scenario");
        } else if (arg == "--log") {
            options.logFile = next(i, "--log");
        } else if (arg == "--shot") {
            options.shot = next(i, "--shot");
        } else if (arg == "--serve") {
            options.serve = next(i, "--serve");
        } else if (arg == "--base") {
            options.base = next(i, "--base");
        } else if (arg == "--viewport") {
            options.viewportWidth = ParseInt(next(i, "--viewport"), 1, 8192, "viewport width");
            options.viewportHeight = ParseInt(next(i, "--viewport"), 1, 8192, "viewport height");
        } else if (arg == "--display") {
            options.displayBits = ParseInt(next(i, "--display"), 8, 32, "display depth");
            if (options.displayBits % 8) UsageError("display depth must be 8, 16, 24 or 32");
        } else if (!arg.empty() && arg[0] == '-') {
            UsageError("unknown option " + arg);
        } else if (options.target.empty()) {
            options.target = arg;
        } else {
            UsageError("more than one page given");
        }
    }
    if (options.scenario.empty() == options.target.empty())
        UsageError("give either a page or drawing with --shot, or --scenario");
    if (!options.target.empty() && options.shot.empty()) UsageError("--shot OUT.png is needed with a page");
    return options;
}

// The plug-in module sits in the lib folder beside the bin folder of vkhost.
std::string DefaultPluginPath(const char* argv0) {
    char self[MAX_PATH * 4] = {};
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    std::filesystem::path program = length > 0 && length < sizeof self ? std::filesystem::path(self)
                                                                        : std::filesystem::path(argv0);
    return (program.parent_path() / ".." / "lib" / VKHOST_PLUGIN_FILE).lexically_normal().string();
}

// What the plug-in must leave behind once the browser has closed it: nothing.
bool CheckLeftovers(int subclassesLeft) {
    std::vector<std::string> found = vkhost::Leftovers();
    if (subclassesLeft) found.push_back(std::to_string(subclassesLeft) + " windows left subclassed");
    for (const std::string& message : found) std::cerr << "vkhost: " << message << "\n";
    return found.empty();
}

std::string FolderOf(const std::string& file) {
    std::filesystem::path folder = std::filesystem::path(file).parent_path();
    return folder.empty() ? "." : folder.string();
}

}  // namespace

int main(int argc, char** argv) {
    Options options = ParseOptions(argc, argv);
    std::string scenarioText;
    if (!options.scenario.empty()) {
        std::ifstream in(options.scenario, std::ios::binary);
        if (!in) {
            std::cerr << options.scenario << ": cannot read the scenario\n";
            return 1;
        }
        scenarioText.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    vkhost::HostLog log;
    int status = 0;
    int subclassesLeft = 0;
    {
        vkhost::Browser browser(log);
        std::string error;
        std::string pluginPath = options.plugin.empty() ? DefaultPluginPath(argv[0]) : options.plugin;
        if (!browser.LoadPlugin(pluginPath, error)) {
            std::cerr << "vkhost: " << error << "\n";
            return 1;
        }
        // The plug-in shows nothing when a drawing does not load; the engine knows why.
        std::string lastLoadError;
        browser.OnFileDelivered([&lastLoadError](const std::string& url) {
            std::string loadError = cvldiag::LoadError();
            if (!loadError.empty() && loadError != lastLoadError)
                std::cerr << "vkhost: " << url << " did not load: " << loadError << "\n";
            lastLoadError = loadError;
        });
        browser.SetViewport(options.viewportWidth, options.viewportHeight);
        try {
            browser.SetDisplayDepth(options.displayBits);
            if (!options.scenario.empty()) {
                browser.Serve(options.serve.empty() ? FolderOf(options.scenario) : options.serve, options.base);
                auto steps = vkhost::ParseScenario(scenarioText, options.scenario);
                vkhost::RunScenario(browser, steps, options.scenario);
            } else {
                std::string folder = options.serve.empty() ? FolderOf(options.target) : options.serve;
                browser.Serve(folder, options.base);
                std::string relative =
                    std::filesystem::relative(options.target, folder).generic_string();
                browser.Open(relative);
                vkhost::SavePicture(browser.Screenshot(), options.shot);
                std::cout << "screenshot written to " << options.shot << "\n";
            }
        } catch (const std::exception& failure) {
            std::cerr << failure.what() << "\n";
            status = 1;
        }
        browser.Close();
        subclassesLeft = browser.SubclassesLeft();
    }
    if (options.check && !CheckLeftovers(subclassesLeft)) status = 1;

    // A scenario's log goes to standard output unless --log names a file; a page
    // opened for its screenshot writes its log only to a file named with --log.
    if (!options.scenario.empty() || !options.logFile.empty()) {
        if (options.logFile.empty()) {
            log.WriteTo(std::cout);
        } else {
            std::ofstream out(options.logFile, std::ios::binary);
            log.WriteTo(out);
            if (!out) {
                std::cerr << options.logFile << ": cannot write the log\n";
                status = 1;
            }
        }
    }
    return status;
}
