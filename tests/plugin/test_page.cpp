#include "test_page.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "win32_control.h"

const char kSmallDrawing[] =
    "vkdrawing 1\n"
    "page 100 100\n"
    "symbol rectangle\n"
    "  name \"Lamp\"\n"
    "  fill #FF0000\n"
    "  box 10 10 50 50\n"
    "end\n";

TestPage::TestPage(int displayDepth, int embedWidth, int embedHeight) {
    w32_reset();
    w32_set_display_depth(displayDepth);
    w32_register_class("VkBrowser", 0, DefWindowProcA, LoadCursorA(nullptr, IDC_ARROW), TRUE, RGB(255, 255, 255));
    w32_register_class("VkEmbed", CS_HREDRAW, DefWindowProcA, LoadCursorA(nullptr, IDC_ARROW), FALSE, 0);
    browser = w32_create_window("VkBrowser", nullptr, 0, 0, 640, 480);
    embed = w32_create_window("VkEmbed", browser, 10, 20, embedWidth, embedHeight);
}

TestPage::~TestPage() { w32_reset(); }

HWND TestPage::AddEmbed(const char* className, int width, int height) {
    w32_register_class(className, 0, DefWindowProcA, LoadCursorA(nullptr, IDC_ARROW), FALSE, 0);
    return w32_create_window(className, browser, 320, 20, width, height);
}

TestDrawingFile::TestDrawingFile(const std::string& text) {
    static int counter = 0;
    path_ = (std::filesystem::temp_directory_path() /
             ("vk_plugin_test_" + std::to_string(std::random_device()()) + "_" + std::to_string(++counter) + ".vkf"))
                .string();
    std::ofstream(path_, std::ios::binary) << text;
}

TestDrawingFile::~TestDrawingFile() { std::remove(path_.c_str()); }
