#include "test_browser.h"

#include <cstring>

namespace {

std::vector<std::string>* recordedCalls = nullptr;

NPError RecordGetURL(NPP, const char* url, const char* target) {
    if (recordedCalls != nullptr) {
        recordedCalls->push_back(std::string("GetURL ") + url + " " + (target != nullptr ? target : "(null)"));
    }
    return NPERR_NO_ERROR;
}

void RecordStatus(NPP, const char* message) {
    if (recordedCalls != nullptr) recordedCalls->push_back(std::string("Status ") + message);
}

}  // namespace

TestBrowser::TestBrowser() {
    std::memset(&table, 0, sizeof(table));
    table.size = sizeof(table);
    table.version = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;
    table.geturl = RecordGetURL;
    table.status = RecordStatus;
    recordedCalls = new std::vector<std::string>();
    NP_Initialize(&table);
}

TestBrowser::~TestBrowser() {
    NP_Shutdown();
    delete recordedCalls;
    recordedCalls = nullptr;
}

std::vector<std::string> TestBrowser::TakeCalls() {
    std::vector<std::string> calls;
    calls.swap(*recordedCalls);
    return calls;
}

TestInstance::TestInstance(uint16 mode, const std::vector<std::pair<std::string, std::string>>& attributes) {
    std::vector<char*> names;
    std::vector<char*> values;
    for (const auto& attribute : attributes) {
        names.push_back(const_cast<char*>(attribute.first.c_str()));
        values.push_back(const_cast<char*>(attribute.second.c_str()));
    }
    created = NPP_New(const_cast<char*>("image/x-cvl-vkf"), &handle, mode, static_cast<int16>(names.size()),
                      names.data(), values.data(), nullptr);
}

TestInstance::~TestInstance() {
    if (handle.pdata != nullptr) NPP_Destroy(&handle, nullptr);
}

TestStream::TestStream(const std::string& url) : url(url) {
    std::memset(&stream, 0, sizeof(stream));
    stream.url = this->url.c_str();
}
