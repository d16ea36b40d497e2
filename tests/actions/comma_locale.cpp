#include "comma_locale.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>

namespace {

bool TrySwitch() {
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"};
    for (const char* name : names) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            if (std::localeconv()->decimal_point[0] == ',') return true;
            std::setlocale(LC_NUMERIC, "C");
        }
    }
    return false;
}

}  // namespace

CommaDecimalLocale::CommaDecimalLocale() {
    if (TrySwitch()) {
        active = true;
        return;
    }
    // Not installed: compile it from the locale sources into a folder of our own.
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "vk-comma-locale";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    const std::string target = (folder / "de_DE.UTF-8").string();
    if (!std::filesystem::exists(target)) {
        const std::string command = "localedef -i de_DE -f UTF-8 '" + target + "' >/dev/null 2>&1";
        (void)std::system(command.c_str());
    }
    setenv("LOCPATH", folder.string().c_str(), 1);
    active = TrySwitch();
    if (!active) why = "no comma-decimal locale: install the locales package (localedef and its sources)";
}

CommaDecimalLocale::~CommaDecimalLocale() {
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
}
