// Text of the system code page: case mapping and stepping in 1252 and in 932, where
// trail bytes can look like ASCII letters.
#include <gtest/gtest.h>

#include <win32_control.h>

#include <string>

namespace {

class TextTest : public ::testing::Test {
protected:
    void SetUp() override { w32_reset(); }

    static std::string Upper(std::string s)
    {
        CharUpperA(s.data());
        return s;
    }
    static std::string Lower(std::string s)
    {
        CharLowerA(s.data());
        return s;
    }
};

TEST_F(TextTest, Windows1252CaseMapping)
{
    struct Case {
        std::string lower, upper;
    } cases[] = {
        {"hello, world 42", "HELLO, WORLD 42"},
        {"\xe0\xe9\xf6\xfe", "\xc0\xc9\xd6\xde"},  // a grave, e acute, o diaeresis, thorn
        {"\x9a\x9c\x9e\xff", "\x8a\x8c\x8e\x9f"},  // s caron, oe, z caron, y diaeresis
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Upper(c.lower), c.upper);
        EXPECT_EQ(Lower(c.upper), c.lower);
    }
    EXPECT_EQ(Upper("\xf7\xdf"), "\xf7\xdf") << "division sign and sharp s have no upper case";
    EXPECT_EQ(Lower("\xd7"), "\xd7") << "nor has the multiplication sign a lower case";
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(CharUpperA(reinterpret_cast<LPSTR>(ULONG_PTR('q')))), ULONG_PTR('Q'))
        << "a single character in the pointer's low word";
    EXPECT_FALSE(IsDBCSLeadByte(0x82));
    const char text[] = "\x82\x61";
    EXPECT_EQ(CharNextA(text), text + 1);
    EXPECT_EQ(GetACP(), 1252u);
}

TEST_F(TextTest, CodePage932StepsOverDoubleByteCharacters)
{
    ASSERT_TRUE(w32_set_code_page(932));
    EXPECT_EQ(GetACP(), 932u);
    struct Case {
        BYTE byte;
        BOOL lead;
    } leads[] = {{0x80, FALSE}, {0x81, TRUE}, {0x9F, TRUE}, {0xA0, FALSE}, {0xDF, FALSE},
                 {0xE0, TRUE},  {0xFC, TRUE}, {0xFD, FALSE}, {'a', FALSE}};
    for (const Case &c : leads) EXPECT_EQ(IsDBCSLeadByte(c.byte), c.lead) << int(c.byte);

    // "a", a double-byte character whose trail byte is 'a' (0x83 0x61), a half-width
    // katakana, the end.
    const char text[] = "a\x83\x61\xb1";
    const char *p = text;
    std::vector<long> steps;
    while (*p) {
        p = CharNextA(p);
        steps.push_back(long(p - text));
    }
    EXPECT_EQ(steps, (std::vector<long>{1, 3, 4}));
    EXPECT_EQ(CharNextA(p), p) << "the end stays the end";
    EXPECT_EQ(CharPrevA(text, text + 3), text + 1);
    const char cut[] = "\x83";
    EXPECT_EQ(CharNextA(cut), cut + 1) << "a lead byte before the NUL is one character";
}

TEST_F(TextTest, CodePage932CaseMappingLeavesTrailBytesAlone)
{
    ASSERT_TRUE(w32_set_code_page(932));
    struct Case {
        const char *what;
        std::string lower, upper;
    } cases[] = {
        {"ascii around a kanji with an 'a'-like trail byte", "ab\x83\x61z", "AB\x83\x61Z"},
        {"full-width latin", "\x82\x81\x82\x9a", "\x82\x60\x82\x79"},
        {"greek alpha, omega", "\x83\xbf\x83\xd6", "\x83\x9f\x83\xb6"},
        {"cyrillic a, o (past the gap at 0x847f), ya", "\x84\x70\x84\x80\x84\x91", "\x84\x40\x84\x4f\x84\x60"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Upper(c.lower), c.upper) << c.what;
        EXPECT_EQ(Lower(c.upper), c.lower) << c.what;
    }
    EXPECT_EQ(Upper("\xe0"), "\xe0") << "no 1252 letters in 932";
    EXPECT_EQ(Upper("\xb1"), "\xb1");
}

}  // namespace
