#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser_link.h"
#include "plugin_instance.h"
#include "test_browser.h"

namespace {

using Calls = std::vector<std::string>;

// What every consumer of a test saw, in order: "<name> data <bytes>", "<name> end",
// "<name> gone".
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
    void OnEnd(InstanceData*) override { events.push_back(name + " end"); }

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

TEST_F(RequestRouting, ADeclinedChunkStillReachesTheOtherConsumersThenDataIsDropped) {
    link->RequestURL("data.txt", new RecordingConsumer("A", false));
    link->RequestURL("data.txt", new RecordingConsumer("B"));
    TestStream stream("http://host/dir/data.txt");
    Open(stream);
    Write(stream, "first");
    Write(stream, "second");
    // Cut off by the network: every consumer still hears the end.
    End(stream, NPRES_NETWORK_ERR);
    EXPECT_EQ(events, (Calls{"A data first", "B data first", "A end", "B end", "B gone", "A gone"}));
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
