// A small browser table for driving the plug-in's operations directly: its
// geturl and status entries record each call as one line of text.
#ifndef TESTS_PLUGIN_TEST_BROWSER_H
#define TESTS_PLUGIN_TEST_BROWSER_H

#include <windows.h>

#include <string>
#include <vector>

#include "npapi.h"

class TestBrowser {
public:
    // Hands the table to NP_Initialize; the destructor calls NP_Shutdown.
    TestBrowser();
    ~TestBrowser();
    TestBrowser(const TestBrowser&) = delete;
    TestBrowser& operator=(const TestBrowser&) = delete;

    // "GetURL <url> <target or (null)>" and "Status <text>", in call order.
    std::vector<std::string> TakeCalls();

    NPNetscapeFuncs table;
};

// An instance made by NPP_New with the given attributes, destroyed with NPP_Destroy.
class TestInstance {
public:
    explicit TestInstance(uint16 mode = NP_EMBED, const std::vector<std::pair<std::string, std::string>>& attributes = {});
    ~TestInstance();
    TestInstance(const TestInstance&) = delete;
    TestInstance& operator=(const TestInstance&) = delete;

    NPP npp() { return &handle; }

    NPP_t handle = {nullptr, nullptr};
    NPError created;
};

// A stream of the given URL as the browser opens it.
struct TestStream {
    explicit TestStream(const std::string& url);
    TestStream(const TestStream&) = delete;
    TestStream& operator=(const TestStream&) = delete;
    NPStream stream;
    std::string url;
};

#endif
