// A browser window with one embed window, on a fresh window system, and small
// drawing files for the engine to load.
#ifndef TESTS_PLUGIN_TEST_PAGE_H
#define TESTS_PLUGIN_TEST_PAGE_H

#include <windows.h>

#include <string>

// Resets the window system (display depth as given) and makes the windows.
class TestPage {
public:
    explicit TestPage(int displayDepth = 32, int embedWidth = 300, int embedHeight = 200);
    ~TestPage();
    TestPage(const TestPage&) = delete;
    TestPage& operator=(const TestPage&) = delete;

    // Another embed window of its own class (style 0) on the same page.
    HWND AddEmbed(const char* className, int width, int height);

    HWND browser = nullptr;
    HWND embed = nullptr;  // class "VkEmbed", style CS_HREDRAW
};

// A drawing file written into the temporary folder; removed by the destructor.
class TestDrawingFile {
public:
    explicit TestDrawingFile(const std::string& text);
    ~TestDrawingFile();
    TestDrawingFile(const TestDrawingFile&) = delete;
    TestDrawingFile& operator=(const TestDrawingFile&) = delete;

    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

// A page 100 x 100 with one named rectangle.
extern const char kSmallDrawing[];

#endif
