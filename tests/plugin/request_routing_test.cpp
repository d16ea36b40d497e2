#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser_link.h"
#include "plugin_instance.h"
#include "test_browser.h"

namespace {

using Calls = std::vector<std::string>;

// What every consumer of a test saw, in order: "<name> data <bytes>", "<name> end"
// (or "<name> cut off" after a network error or a stop), "<name> gone".
std::vector<std::string> events;

class RecordingConsumer : public UrlConsumer {
public:
    RecordingConsumer(const std::string& name, bool keepReceiving = true)
        : name(name), keepReceiving(keepReceiving) {}
    ~RecordingConsumer() override { events.push_back(name + " gone"); }
    bool OnData(InstanceData*, LONG length, const char* bytes) override {
        events.push_back(name + " data " + std::string(bytes, static_cast<std::size_t>(length)));
        return keepReceiving;
    }
    void OnEnd(InstanceData*, bool completed) override { events.push_back(name + (completed ? " end" : " cut off")); }

private:
    std::string name;
    bool keepReceiving;
};

class RequestRouting : public ::testing::Test {
protected:
    void SetUp() override {
        events.clear();
        ASSERT_EQ(instance.created, NPERR_NO_ERROR);
        link = static_cast<NpBrowserLink*>(InstanceFromNPP(instance.npp())->link.get());
        link->baseURL = "http://host/dir/page.vkf";
    }

    uint16 Open(TestStream& stream) {
        uint16 type = 0;
        EXPECT_EQ(NPP_NewStream(instance.npp(), nullptr, &stream.stream, false, &type), NPERR_NO_ERROR);
        return type;
    }
    void Write(TestStream& stream, const std::string& bytes) {
        EXPECT_EQ(NPP_Write(instance.npp(), &stream.stream, 0, static_cast<int32>(bytes.size()),
                            const_cast<char*>(bytes.data())),
                  static_cast<int32>(bytes.size()));
    }
    void End(TestStream& stream, NPReason reason = NPRES_DONE) {
        EXPECT_EQ(NPP_DestroyStream(instance.npp(), &stream.stream, reason), NPERR_NO_ERROR);
    }

    TestBrowser browser;
    TestInstance instance;
    NpBrowserLink* link = nullptr;
};

TEST_F(RequestRouting, ConsumersOfOneURLShareOneFetch) {
    link->RequestURL("data.txt", new RecordingConsumer("A"));
    link->RequestURL("http://host/dir/data.txt", new RecordingConsumer("B"));
    EXPECT_EQ(browser.TakeCalls(), Calls{"GetURL http://host/dir/data.txt (null)"});

    TestStream stream("http://host/dir/data.txt");
    EXPECT_EQ(Open(stream), NP_NORMAL);
    EXPECT_EQ(stream.stream.pdata, InstanceFromNPP(instance.npp()));
    EXPECT_EQ(NPP_WriteReady(instance.npp(), &stream.stream), 1024);
    Write(stream, "one");
    Write(stream, "two");
    End(stream);
    EXPECT_EQ(events, (Calls{"A data one", "B data one", "A data two", "B data two", "A end", "B end", "B gone",
                             "A gone"}));

    // The URL is free again: the next request fetches anew.
    link->RequestURL("data.txt", new RecordingConsumer("C"));
    EXPECT_EQ(browser.TakeCalls(), Calls{"GetURL http://host/dir/data.txt (null)"});
}

// A consumer that declines stops only its own data; the URL's data is dropped once
// every consumer has declined.
TEST_F(RequestRouting, EachConsumerReceivesDataUntilItDeclines) {
    link->RequestURL("data.txt", new RecordingConsumer("A", false));
    link->RequestURL("data.txt", new RecordingConsumer("B"));
    link->RequestURL("data.txt", new RecordingConsumer("C", false));
    TestStream stream("http://host/dir/data.txt");
    Open(stream);
    Write(stream, "first");
    Write(stream, "second");
    End(stream);
    EXPECT_EQ(events, (Calls{"A data first", "B data first", "C data first", "B data second", "A end", "B end",
                             "C end", "C gone", "B gone", "A gone"}));

    events.clear();
    link->RequestURL("data.txt", new RecordingConsumer("D", false));
    link->RequestURL("data.txt", new RecordingConsumer("E", false));
    TestStream again("http://host/dir/data.txt");
    Open(again);
    Write(again, "first");
    Write(again, "dropped");
    EXPECT_EQ(events, (Calls{"D data first", "E data first"}));
    End(again);
}

// The end reaches every consumer, also one that declined, and tells them whether
// the data arrived whole.
TEST_F(RequestRouting, EveryConsumerHearsHowTheStreamEnded) {
    const struct {
        NPReason reason;
        const char* heard;
    } cases[] = {{NPRES_DONE, "end"}, {NPRES_NETWORK_ERR, "cut off"}, {NPRES_USER_BREAK, "cut off"}};
    for (const auto& c : cases) {
        events.clear();
        link->RequestURL("data.txt", new RecordingConsumer("A", false));
        link->RequestURL("data.txt", new RecordingConsumer("B"));
        TestStream stream("http://host/dir/data.txt");
        Open(stream);
        Write(stream, "x");
        End(stream, c.reason);
        EXPECT_EQ(events, (Calls{"A data x", "B data x", std::string("A ") + c.heard, std::string("B ") + c.heard,
                                 "B gone", "A gone"}))
            << "reason " << c.reason;
    }
}

TEST_F(RequestRouting, ARequestForDataAlreadyArrivingIsDropped) {
    link->RequestURL("data.txt", new RecordingConsumer("A"));
    TestStream stream("http://host/dir/data.txt");
    Open(stream);
    Write(stream, "x");
    link->RequestURL("data.txt", new RecordingConsumer("late"));
    Write(stream, "y");
    End(stream);
    EXPECT_EQ(events, (Calls{"A data x", "late gone", "A data y", "A end", "A gone"}));
    EXPECT_EQ(browser.TakeCalls(), Calls{"GetURL http://host/dir/data.txt (null)"});
}

TEST_F(RequestRouting, AStreamIsDataOnlyForTheExactRequestedURL) {
    link->RequestURL("data.txt", new RecordingConsumer("A"));
    const char* const drawings[] = {"http://host/dir/DATA.txt", "http://host/dir/data.txt#x", "http://host/dir/data.txt ",
                                    "data.txt"};
    for (const char* url : drawings) {
        TestStream stream(url);
        EXPECT_EQ(Open(stream), NP_ASFILE) << url;
        // A drawing's bytes are accepted and reach no consumer.
        Write(stream, "bytes");
        End(stream);
    }
    EXPECT_TRUE(events.empty());
    TestStream requested("http://host/dir/data.txt");
    EXPECT_EQ(Open(requested), NP_NORMAL);
}

TEST_F(RequestRouting, ARequestThatNeverArrivesKeepsItsConsumersUntilTheInstanceGoes) {
    link->RequestURL("a.txt", new RecordingConsumer("A"));
    link->RequestURL("b.txt", new RecordingConsumer("B"));
    link->RequestURL("a.txt", new RecordingConsumer("A2"));
    EXPECT_EQ(browser.TakeCalls(), (Calls{"GetURL http://host/dir/a.txt (null)", "GetURL http://host/dir/b.txt (null)"}));
    NPP_Destroy(instance.npp(), nullptr);
    EXPECT_EQ(instance.handle.pdata, nullptr);
    // Dropped without being told the stream ended.
    EXPECT_EQ(events, (Calls{"A2 gone", "A gone", "B gone"}));
}

void NoValue(InstanceData*, DWORD, const std::string&) {}
void OtherNoValue(InstanceData*, DWORD, const std::string&) {}

// A URL whose stream never opens keeps its consumers waiting; the same request made
// again (same callback, user value and key) must not wait a second time.
TEST_F(RequestRouting, AnIdenticalRequestWaitsOnlyOnce) {
    const char* const url = "http://host/dir/never.txt";
    for (int i = 0; i < 100; ++i) link->RequestURL("never.txt", new KeyValueConsumer(NoValue, 1, "price"));
    link->RequestURL(url, new KeyValueConsumer(NoValue, 1, " PRICE "));
    EXPECT_EQ(link->requests.Count(url), 1);

    // Anything else that differs is another request.
    link->RequestURL(url, new KeyValueConsumer(NoValue, 2, "price"));
    link->RequestURL(url, new KeyValueConsumer(NoValue, 1, "cost"));
    link->RequestURL(url, new KeyValueConsumer(OtherNoValue, 1, "price"));
    link->RequestURL(url, new RecordingConsumer("A"));
    link->RequestURL(url, new RecordingConsumer("A"));
    EXPECT_EQ(link->requests.Count(url), 6);
    EXPECT_EQ(browser.TakeCalls(), Calls{"GetURL http://host/dir/never.txt (null)"});
}

TEST_F(RequestRouting, NullArgumentsAreIgnored) {
    link->RequestURL(nullptr, new RecordingConsumer("A"));
    link->RequestURL("a.txt", nullptr);
    EXPECT_EQ(events, Calls{"A gone"});
    EXPECT_TRUE(browser.TakeCalls().empty());
}

TEST_F(RequestRouting, LinksResolveAgainstTheDrawingsURL) {
    link->GotoURL("next.htm", nullptr);
    link->GotoURL("/top.htm", "frame2");
    link->LoadInPlace("other.vkf");
    link->ShowStatus("next.htm ok");
    link->baseURL.clear();
    link->GotoURL("next.htm", "_blank");
    EXPECT_EQ(browser.TakeCalls(), (Calls{"GetURL http://host/dir/next.htm _current", "GetURL http://host/top.htm frame2",
                                          "GetURL http://host/dir/other.vkf (null)", "Status next.htm ok",
                                          "GetURL next.htm _blank"}));
}

// The browser's own streams for an instance that has no record, or a null
// instance, must not reach anything.
TEST(StreamsWithoutRecord, DoNothingHarmful) {
    TestBrowser browser;
    NPP_t bare = {nullptr, nullptr};
    TestStream stream("http://host/a.vkf");
    char bytes[] = "abc";
    uint16 type = 0;
    EXPECT_EQ(NPP_NewStream(nullptr, nullptr, &stream.stream, false, &type), NPERR_INVALID_INSTANCE_ERROR);
    for (NPP npp : {static_cast<NPP>(nullptr), &bare}) {
        EXPECT_EQ(NPP_WriteReady(npp, &stream.stream), 1024);
        EXPECT_EQ(NPP_Write(npp, &stream.stream, 0, 3, bytes), 3);
        EXPECT_EQ(NPP_Write(npp, nullptr, 0, 3, bytes), 3);
        EXPECT_EQ(NPP_DestroyStream(npp, &stream.stream, NPRES_DONE), NPERR_NO_ERROR);
        NPP_StreamAsFile(npp, &stream.stream, "a.vkf");
    }
    EXPECT_EQ(NPP_NewStream(&bare, nullptr, &stream.stream, false, &type), NPERR_NO_ERROR);
    EXPECT_EQ(type, NP_ASFILE);
    EXPECT_EQ(NPP_Destroy(nullptr, nullptr), NPERR_INVALID_INSTANCE_ERROR);
    EXPECT_EQ(NPP_Destroy(&bare, nullptr), NPERR_NO_ERROR);
    EXPECT_TRUE(browser.TakeCalls().empty());
}

}  // namespace
