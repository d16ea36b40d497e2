// Reading drawing files: every statement, and the refusals of malformed input.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "scratch_files.h"
#include "text_format.h"

using namespace cvl;

namespace {

const char kEverything[] = R"(vkdrawing 1
# a comment line
page 400 300
paper #FFFFF0
layer 1 shown "Base"
layer 2 hidden

symbol rectangle
  name "Main lamp"
  fill #FF8000
  stroke #000080 2.5
  box 10 20 110 70
  property "OnMouseUp" "Jump \"http://x/a;b\";StatusLine a:b\nnext\\line"
  property "onmouseup" "other case"
end
symbol group
  name "Panel"
  layer 2
  symbol ellipse
    fill hatch #00FF00
    stroke none
    box 0 0 40 20
    hidden
  end
  symbol group
    symbol polygon
      points 0 0 10 0 5 8
    end
  end
end
symbol polyline
  points 1 1 50.5 -2
end
symbol text
  at 5 5
  size 18
  text "Hello\tW\xE9rld"
  rotate 90
end
)";

TEST(DrawingFormat, ReadsEveryKindOfStatement) {
    LoadError error;
    auto d = ParseDrawing(kEverything, error);
    ASSERT_TRUE(d) << error.Describe();
    EXPECT_EQ(d->pageWidth, 400);
    EXPECT_EQ(d->pageHeight, 300);
    EXPECT_TRUE(d->hasPaper);
    EXPECT_EQ(d->paper, 0xF0FFFFu);  // #RRGGBB is stored as COLORREF
    ASSERT_EQ(d->layers.size(), 2u);
    EXPECT_TRUE(d->layers[0].visible);
    EXPECT_FALSE(d->layers[1].visible);
    EXPECT_EQ(d->layers[0].title, "Base");
    ASSERT_EQ(d->symbols.size(), 4u);

    const Symbol& lamp = *d->symbols[0];
    EXPECT_EQ(lamp.kind, SymbolKind::Rectangle);
    EXPECT_TRUE(lamp.named);
    EXPECT_EQ(lamp.name, "Main lamp");
    EXPECT_EQ(lamp.fill, FillKind::Solid);
    EXPECT_EQ(lamp.fillColour, 0x0080FFu);
    EXPECT_EQ(lamp.strokeColour, 0x800000u);
    EXPECT_DOUBLE_EQ(lamp.strokeWidth, 2.5);
    ASSERT_EQ(lamp.properties.size(), 2u);  // names compare with case
    EXPECT_EQ(lamp.FindProperty("OnMouseUp")->value, "Jump \"http://x/a;b\";StatusLine a:b\nnext\\line");
    EXPECT_EQ(lamp.FindProperty("onmouseup")->value, "other case");

    const Symbol& panel = *d->symbols[1];
    EXPECT_EQ(panel.kind, SymbolKind::Group);
    ASSERT_EQ(panel.members.size(), 2u);
    const Symbol& ellipse = *panel.members[0];
    EXPECT_EQ(ellipse.layer, 2) << "members take their group's layer";
    EXPECT_FALSE(ellipse.visible);
    EXPECT_FALSE(ellipse.stroked);
    EXPECT_EQ(ellipse.fill, FillKind::Hatch);
    EXPECT_EQ(ellipse.parent, &panel);
    EXPECT_EQ(panel.members[1]->members[0]->kind, SymbolKind::Polygon);
    EXPECT_EQ(panel.members[1]->members[0]->points.size(), 3u);

    EXPECT_EQ(d->symbols[2]->points[1].x, 50.5);
    EXPECT_FALSE(d->symbols[2]->named);
    const Symbol& text = *d->symbols[3];
    EXPECT_EQ(text.text, "Hello\tW\xE9rld");
    EXPECT_EQ(text.placement.tenths, 900);
}

TEST(DrawingFormat, WithoutLayerStatementsThereIsOneVisibleLayer) {
    LoadError error;
    auto d = ParseDrawing("vkdrawing 1\npage 10 10\r\nsymbol rectangle\r\n box 0 0 1 1\r\nend\r\n", error);
    ASSERT_TRUE(d) << error.Describe();
    ASSERT_EQ(d->layers.size(), 1u);
    EXPECT_TRUE(d->layers[0].visible);
}

struct BadFile {
    const char* name;  // names the case in test reports
    const char* text;
    int line, column;
    const char* message;
};

void PrintTo(const BadFile& bad, std::ostream* out) { *out << bad.name; }

class DrawingFormatErrors : public ::testing::TestWithParam<BadFile> {};

TEST_P(DrawingFormatErrors, ReportsWhereAndWhy) {
    const BadFile& bad = GetParam();
    LoadError error;
    EXPECT_FALSE(ParseDrawing(bad.text, error));
    EXPECT_EQ(error.line, bad.line) << error.Describe();
    EXPECT_EQ(error.column, bad.column) << error.Describe();
    EXPECT_NE(error.message.find(bad.message), std::string::npos) << error.Describe();
}

INSTANTIATE_TEST_SUITE_P(
    Table, DrawingFormatErrors,
    ::testing::Values(
        BadFile{"EmptyFile", "", 1, 1, "empty file"},
        BadFile{"WrongFirstWord", "drawing 1\n", 1, 1, "vkdrawing"},
        BadFile{"UnknownVersion", "vkdrawing 2\n", 1, 11, "version"},
        BadFile{"NoPage", "vkdrawing 1\n", 1, 1, "no \"page\""},
        BadFile{"PageSizeNotPositive", "vkdrawing 1\npage 0 10\n", 2, 6, "positive"},
        BadFile{"ExtraNumber", "vkdrawing 1\npage 10 10 10\n", 2, 12, "end of the line"},
        BadFile{"LayersOutOfOrder", "vkdrawing 1\npage 10 10\nlayer 2 shown\n", 3, 7, "expected 1"},
        BadFile{"LayerNeitherShownNorHidden", "vkdrawing 1\npage 10 10\nlayer 1 dim\n", 3, 9, "shown"},
        BadFile{"UnknownSymbolKind", "vkdrawing 1\npage 10 10\nsymbol blob\nend\n", 3, 8, "unknown symbol kind"},
        BadFile{"SymbolWithoutEnd", "vkdrawing 1\npage 10 10\nsymbol rectangle\n box 0 0 1 1\n", 4, 1, "no \"end\""},
        BadFile{"RectangleWithoutBox", "vkdrawing 1\npage 10 10\nsymbol rectangle\nend\n", 3, 1, "needs a \"box\""},
        BadFile{"PolygonWithTooFewPoints",
                "vkdrawing 1\npage 10 10\nsymbol polygon\n points 0 0 1 1\nend\n", 3, 1, "at least 3"},
        BadFile{"PointsNotInPairs", "vkdrawing 1\npage 10 10\nsymbol polygon\n points 0 0 1\nend\n", 4, 14, "pairs"},
        BadFile{"UnterminatedText", "vkdrawing 1\npage 10 10\nsymbol rectangle\n name \"open\n", 4, 7, "unterminated"},
        BadFile{"UnknownEscape",
                "vkdrawing 1\npage 10 10\nsymbol rectangle\n name \"a\\qb\"\n", 4, 9, "unknown escape"},
        BadFile{"BackslashEndsTheLine", "vkdrawing 1\npage 10 10\nsymbol rectangle\n name \"ab\\\n", 4, 10,
                "unterminated"},
        BadFile{"EscapedQuoteLeavesTheStringOpen",
                "vkdrawing 1\npage 10 10\nsymbol rectangle\n name \"a\\\"\n", 4, 7, "unterminated"},
        BadFile{"EscapedZeroByte", "vkdrawing 1\npage 10 10\nsymbol rectangle\n name \"a\\x00\"\n", 4, 9, "zero byte"},
        BadFile{"ShortColour", "vkdrawing 1\npage 10 10\nsymbol rectangle\n fill #12345\n", 4, 7, "six hexadecimal"},
        BadFile{"MalformedNumber",
                "vkdrawing 1\npage 10 10\nsymbol rectangle\n box 0 0 1e5 1\n", 4, 10, "malformed number"},
        BadFile{"NumberOfThirtyOneDigits",
                "vkdrawing 1\npage 10 10\nsymbol rectangle\n box 0 0 1 -0.000000000000000000000000000012\n", 4, 12,
                "malformed number"},
        BadFile{"NumberOutOfRange",
                "vkdrawing 1\npage 10 10\nsymbol rectangle\n box 0 0 9999999 1\n", 4, 10, "out of range"},
        BadFile{"UndeclaredLayer",
                "vkdrawing 1\npage 10 10\nsymbol rectangle\n box 0 0 1 1\n layer 3\nend\n", 3, 1, "not declared"},
        BadFile{"MemberOutsideAGroup",
                "vkdrawing 1\npage 10 10\nsymbol rectangle\n box 0 0 1 1\n symbol text\n", 5, 2, "only groups"},
        BadFile{"BoxOnAText", "vkdrawing 1\npage 10 10\nsymbol text\n box 0 0 1 1\n", 4, 2, "only rectangles"},
        BadFile{"NegativeStrokeWidth",
                "vkdrawing 1\npage 10 10\nsymbol rectangle\n stroke #000000 -1\n", 4, 17, "negative"},
        BadFile{"ControlCharacter", "vkdrawing 1\npage\x01 10 10\n", 2, 5, "unexpected character"},
        BadFile{"BinaryFile", "vkdrawing 1\n\x89PNG\r\n", 2, 1, "unexpected character"}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

TEST(DrawingFormat, NumbersOfThirtyDigitsWithSignAndPointAreReadWhole) {
    LoadError error;
    auto d = ParseDrawing(
        "vkdrawing 1\npage 10 10\nsymbol rectangle\n box -0.00000000000000000000000000012 0 1 1\nend\n", error);
    ASSERT_TRUE(d) << error.Describe();
    EXPECT_EQ(d->symbols[0]->points[0].x, -1.2e-28);
}

// The strings of one line are read one after another: an early one stays whole however
// long the later ones are.
TEST(DrawingFormat, EveryStringOfALineIsReadWhole) {
    const std::string longValue(5000, 'v');
    LoadError error;
    auto d = ParseDrawing("vkdrawing 1\npage 10 10\nsymbol rectangle\n box 0 0 1 1\n"
                          " property \"a\\x41\\\"b\" \"" + longValue + "\"\n"
                          " property \"short\" \"x\\ty\"\nend\n",
                          error);
    ASSERT_TRUE(d) << error.Describe();
    const auto& properties = d->symbols[0]->properties;
    ASSERT_EQ(properties.size(), 2u);
    EXPECT_EQ(properties[0].name, "aA\"b");
    EXPECT_EQ(properties[0].value, longValue);
    EXPECT_EQ(properties[1].name, "short");
    EXPECT_EQ(properties[1].value, "x\ty");
}

// Plain runs, escapes and escaped quotes follow one another in any order.
TEST(DrawingFormat, StringsDecodeEveryEscapeInItsPlace) {
    LoadError error;
    auto d = ParseDrawing("vkdrawing 1\npage 10 10\nsymbol rectangle\n box 0 0 1 1\n"
                          " property \"\\\"q\\\"uo\\\"te\\\"\" \"back\\\\slash\\\\\\\\end\\t\\x7E\\\"\"\nend\n",
                          error);
    ASSERT_TRUE(d) << error.Describe();
    const auto& properties = d->symbols[0]->properties;
    ASSERT_EQ(properties.size(), 1u);
    EXPECT_EQ(properties[0].name, "\"q\"uo\"te\"");
    EXPECT_EQ(properties[0].value, "back\\slash\\\\end\t~\"");
}

TEST(DrawingFormat, DrawnTextsHaveABoundedLength) {
    LoadError error;
    std::string text = "vkdrawing 1\npage 10 10\nsymbol text\n at 0 0\n text \"" + std::string(4097, 'x') + "\"\nend\n";
    EXPECT_FALSE(ParseDrawing(text, error));
    EXPECT_EQ(error.Describe(), ":5:7: a text longer than 4096 bytes");
    text = "vkdrawing 1\npage 10 10\nsymbol text\n at 0 0\n property \"long\" \"" + std::string(100000, 'x') +
           "\"\nend\n";
    EXPECT_TRUE(ParseDrawing(text, error)) << "property values may be long: " << error.Describe();
}

TEST(DrawingFormat, ZeroBytesAreRefusedAsBinary) {
    LoadError error;
    EXPECT_FALSE(ParseDrawing(std::string_view("vkdrawing 1\npage 1\0 1\n", 21), error));
    EXPECT_NE(error.message.find("zero byte"), std::string::npos);
    // Also within a string, after an escaped quote.
    EXPECT_FALSE(ParseDrawing(std::string_view("vkdrawing 1\npage 1 1\nsymbol text\n name \"a\\\"b\0\"\n", 47), error));
    EXPECT_EQ(error.Describe(), ":4:12: a zero byte: this is not a drawing text file");
}

TEST(DrawingFormat, DeepNestingIsRefusedNotRecursedInto) {
    std::string text = "vkdrawing 1\npage 10 10\n";
    for (int i = 0; i < 100000; ++i) text += "symbol group\n";
    LoadError error;
    EXPECT_FALSE(ParseDrawing(text, error));
    EXPECT_NE(error.message.find("nest too deeply"), std::string::npos);
    EXPECT_EQ(error.line, 3 + FormatLimits::maxDepth);
}

TEST(DrawingFormat, EveryTruncationOfAGoodFileIsHandled) {
    std::string text = kEverything;
    for (size_t n = 0; n < text.size(); ++n) {
        LoadError error;
        auto d = ParseDrawing(std::string_view(text).substr(0, n), error);
        if (!d) {
            EXPECT_FALSE(error.message.empty()) << n;
        }
    }
}

TEST(DrawingFormat, LoadingReportsTheFileAndRefusesOversizedFiles) {
    LoadError error;
    EXPECT_FALSE(LoadDrawingFile("/nonexistent/dir/a.vkf", error));
    EXPECT_EQ(error.Describe(), "/nonexistent/dir/a.vkf:0:0: cannot open the file");
    EXPECT_FALSE(LoadDrawingFile(::testing::TempDir().c_str(), error)) << "a folder";
    EXPECT_FALSE(LoadDrawingFile("", error));

    std::string path = vktest::ScratchPath("oversized.vkf");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::string line = "# " + std::string(1022, 'x') + "\n";
    std::fputs("vkdrawing 1\npage 10 10\n", f);
    for (size_t written = 0; written <= FormatLimits::maxFileBytes; written += line.size()) std::fputs(line.c_str(), f);
    std::fclose(f);
    EXPECT_FALSE(LoadDrawingFile(path.c_str(), error));
    EXPECT_NE(error.message.find("larger"), std::string::npos);
    std::remove(path.c_str());
}

}  // namespace
