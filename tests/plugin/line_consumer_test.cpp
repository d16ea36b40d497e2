#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser_link.h"
#include "win32_control.h"

namespace {

// Records every line; the line "stop" asks for no more.
class RecordingLines : public LineConsumer {
public:
    bool OnLine(InstanceData*, const std::string& line) override {
        lines.push_back(line);
        return line != "stop";
    }
    std::vector<std::string> lines;
};

// Feeds the chunks as NPP_Write would (nothing more once one is declined), then ends
// the stream, completed or cut off.
std::vector<std::string> Lines(const std::vector<std::string>& chunks, bool completed = true) {
    RecordingLines consumer;
    for (const std::string& chunk : chunks) {
        if (!consumer.OnData(nullptr, static_cast<LONG>(chunk.size()), chunk.data())) break;
    }
    consumer.OnEnd(nullptr, completed);
    return consumer.lines;
}

struct SplitCase {
    const char* name;
    std::vector<std::string> chunks;
    std::vector<std::string> lines;
};

TEST(LineConsumer, CutsTheStreamIntoLines) {
    using std::string;
    const SplitCase cases[] = {
        {"last line without a break", {"a\nb"}, {"a", "b"}},
        {"final break adds no line", {"a\nb\n"}, {"a", "b"}},
        {"LF LF is one break", {"a\n\nb"}, {"a", "b"}},
        {"CR CR is one break", {"a\r\rb"}, {"a", "b"}},
        {"LF CR is one break", {"a\n\rb"}, {"a", "b"}},
        {"CR LF CR LF keeps one empty line", {"a\r\n\r\nb"}, {"a", "", "b"}},
        {"three LFs keep one empty line", {"a\n\n\nb"}, {"a", "", "b"}},
        {"line split over chunks is joined", {"ke", "y: va", "lue\nnext"}, {"key: value", "next"}},
        {"CR LF split over chunks is one break", {"a\r", "\nb"}, {"a", "b"}},
        {"CR LF CR LF split after the first CR", {"a\r", "\n\r\nb"}, {"a", "", "b"}},
        {"break alone in its chunk", {"a", "\n", "b"}, {"a", "b"}},
        {"byte 0 ends the useful data", {string("a\nb\0c\nd", 7), "e\n"}, {"a", "b"}},
        {"byte 0 first ends with an empty line", {string("\0a", 2)}, {""}},
        {"declined line ends the data", {"x\nstop\ny\n", "z\n"}, {"x", "stop"}},
        {"empty chunks change nothing", {"", "a", "", "\n", ""}, {"a"}},
        {"nothing at all", {}, {}},
        {"leading break gives an empty line", {"\nb"}, {"", "b"}},
    };
    for (const SplitCase& c : cases) EXPECT_EQ(Lines(c.chunks), c.lines) << c.name;
}

// A stream cut off by a network error or a user stop may end mid-line: only lines
// whose break arrived count then.
TEST(LineConsumer, DropsTheUnfinishedLineOfAStreamCutOff) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Lines({"a\nprice: 12 dol"}, false), V{"a"});
    EXPECT_EQ(Lines({"a\n", "price: 12 dol"}, false), V{"a"});
    EXPECT_EQ(Lines({"a\nb\r\n"}, false), (V{"a", "b"}));
    EXPECT_EQ(Lines({"a\nprice: 12 dollars"}, true), (V{"a", "price: 12 dollars"}));
}

TEST(LineConsumer, KeepsOnlyTheHeadOfAnOverlongLine) {
    const std::size_t limit = LineConsumer::MaxLineLength;
    RecordingLines consumer;
    const std::string chunk(1000, 'x');
    std::size_t sent = 0;
    while (sent < limit * 3) {
        ASSERT_TRUE(consumer.OnData(nullptr, static_cast<LONG>(chunk.size()), chunk.data()));
        sent += chunk.size();
    }
    const std::string tail = "y\nkey: v";
    consumer.OnData(nullptr, static_cast<LONG>(tail.size()), tail.data());
    consumer.OnEnd(nullptr, true);
    ASSERT_EQ(consumer.lines.size(), 2u);
    EXPECT_EQ(consumer.lines[0], std::string(limit, 'x'));
    EXPECT_EQ(consumer.lines[1], "key: v");
}

// Collects what a KeyValueConsumer hands to its callback.
std::vector<std::string> foundValues;
std::vector<DWORD> foundUserValues;

void RecordValue(InstanceData*, DWORD userValue, const std::string& value) {
    foundValues.push_back(value);
    foundUserValues.push_back(userValue);
}

std::vector<std::string> ValuesFound(const std::string& key, const std::vector<std::string>& chunks) {
    foundValues.clear();
    KeyValueConsumer consumer(RecordValue, 7, key);
    for (const std::string& chunk : chunks) {
        if (!consumer.OnData(nullptr, static_cast<LONG>(chunk.size()), chunk.data())) break;
    }
    consumer.OnEnd(nullptr, true);
    return foundValues;
}

struct KeyCase {
    const char* name;
    const char* key;
    std::vector<std::string> chunks;
    std::vector<std::string> values;
};

TEST(KeyValueConsumer, FindsTheFirstLineOfTheKey) {
    using V = std::vector<std::string>;
    const KeyCase cases[] = {
        {"other case and spaces around name, colon and value", "Price", {"  pRiCe \t:  12 euros \r\n"}, {"12 euros"}},
        {"key stripped when the consumer is made", "  price\t", {"price: 3"}, {"3"}},
        {"empty value still runs the callback", "price", {"price:"}, {""}},
        {"key on the last line without a break", "price", {"other: 1\nprice: 2"}, {"2"}},
        {"the first matching line wins", "price", {"price: 1\nprice: 2\n"}, {"1"}},
        {"value keeps its own colons", "url", {"url: http://h/p:8"}, {"http://h/p:8"}},
        {"a longer name is another name", "price", {"prices: 1\npric: 2\n"}, V{}},
        {"lines without a colon are passed over", "price", {"price\nno colon\nprice : 4"}, {"4"}},
        {"name split over chunks", "price", {"pr", "ice: 5", "\n"}, {"5"}},
        {"text after a byte 0 is never examined", "price", {std::string("a\0price: 1", 10)}, V{}},
        {"only ASCII letters fold", "\xC9t\xE9", {"\xE9t\xE9: 1\n\xC9T\xE9: 2"}, {"2"}},
        {"empty key matches an empty name", "", {"x: 1\n : 2"}, {"2"}},
    };
    for (const KeyCase& c : cases) EXPECT_EQ(ValuesFound(c.key, c.chunks), c.values) << c.name;
    ValuesFound("price", {"price: 1"});
    EXPECT_EQ(foundUserValues.back(), 7u);
}

// A double-byte character is compared whole: its second byte is no ASCII letter
// to fold, though it has the same value as one.
TEST(KeyValueConsumer, ComparesDoubleByteCharactersWhole) {
    w32_reset();
    ASSERT_TRUE(w32_set_code_page(932));
    EXPECT_EQ(ValuesFound("\x82\x41", {"\x82\x61: 1\n\x82\x41: 2"}), std::vector<std::string>{"2"});
    ASSERT_TRUE(w32_set_code_page(1252));
    EXPECT_EQ(ValuesFound("\x82\x41", {"\x82\x61: 1\n\x82\x41: 2"}), std::vector<std::string>{"1"});
    w32_reset();
}

}  // namespace
