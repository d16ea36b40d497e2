// Loading drawings from text and painting them into small device contexts.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cvlpage/diagnostics.h"
#include "engine/engine_api.h"
#include "scratch_files.h"
#include "win32_control.h"

namespace enginetest {

// Writes a file of the test's own (tests run side by side) whose name ends with `name`.
inline std::string WriteFile(const std::string& name, const std::string& text) {
    std::string path = vktest::ScratchPath(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_TRUE(f);
    if (f) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    return path;
}

// Loads a drawing from text and frees it at the end of the test.
class LoadedDrawing {
public:
    explicit LoadedDrawing(const std::string& text) {
        handle_ = LoadDrawing(WriteFile("drawing.vkf", text).c_str());
        EXPECT_NE(handle_, 0u) << cvldiag::LoadError();
    }
    virtual ~LoadedDrawing() {
        if (handle_) FreeDrawing(handle_);
    }
    LoadedDrawing(const LoadedDrawing&) = delete;
    LoadedDrawing& operator=(const LoadedDrawing&) = delete;
    CVLDRAWING get() const { return handle_; }
    CVLSYMBOL Symbol(const char* name) const {
        CVLSYMBOL s = SymbolFromName(handle_, name);
        EXPECT_NE(s, 0u) << name;
        return s;
    }
    // Lays the drawing out on a page, as the plug-in does right after loading.
    void Layout(RECT page) const { EXPECT_TRUE(DrawPage(handle_, nullptr, &page, nullptr, 0, 4, 9, 100)); }

private:
    CVLDRAWING handle_ = 0;
};

// A memory DC holding a DIB section of the given depth, filled with one colour.
class DibTarget {
public:
    DibTarget(int width, int height, int bits, COLORREF fill) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = static_cast<WORD>(bits);
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        Fill({0, 0, width, height}, fill);
    }
    virtual ~DibTarget() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    DibTarget(const DibTarget&) = delete;
    DibTarget& operator=(const DibTarget&) = delete;

    void Fill(RECT r, COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc_, &r, brush);
        DeleteObject(brush);
    }
    HDC dc() const { return dc_; }
    void* bits() const { return bits_; }
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF Pixel(int x, int y) const { return w32_dc_pixel(dc_, x, y) & 0xFFFFFF; }
    std::vector<COLORREF> All() const {
        std::vector<COLORREF> out;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) out.push_back(Pixel(x, y));
        return out;
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
};

// Resets the window system and the engine's counters around each test, and fails a
// test that leaves a drawing loaded or passes the engine a stale handle by mistake.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        w32_reset();
        CvlDiagResetStaleHandleCount();
        CvlDiagSetJournal(0);
        drawingsBefore_ = CvlDiagLiveDrawings();
    }
    void TearDown() override {
        EXPECT_EQ(CvlDiagLiveDrawings(), drawingsBefore_) << "a drawing was left loaded";
        CvlDiagSetJournal(0);
    }
    int drawingsBefore_ = 0;
};

}  // namespace enginetest
