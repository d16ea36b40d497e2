#include "text_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace cvl {

std::string LoadError::Describe() const {
    return file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
}

namespace {

enum class TokenType { Word, Number, String, Colour };

struct Token {
    TokenType type;
    // A word, within the text being read; a string, decoded, within the lexer's
    // memory for the line.
    std::string_view text;
    double number = 0;
    Colour colour = 0;
    int column = 0;
};

struct Failure {
    int line, column;
    std::string message;
};

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

// Splits the text into lines of tokens; blank lines and "#" comment lines are skipped.
class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    // False at the end of the text. Throws Failure on a malformed line.
    bool NextLine(std::vector<Token>& tokens, int& lineNumber) {
        tokens.clear();
        while (pos_ < text_.size()) {
            size_t end = text_.find('\n', pos_);
            if (end == std::string_view::npos) end = text_.size();
            std::string_view line = text_.substr(pos_, end - pos_);
            pos_ = end + 1;
            ++line_;
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            Tokenize(line);
            if (!tokens_.empty()) {
                tokens.swap(tokens_);
                tokens_.clear();
                lineNumber = line_;
                return true;
            }
        }
        return false;
    }

    int Line() const { return line_; }

private:
    [[noreturn]] void Fail(size_t i, const std::string& message) {
        throw Failure{line_, static_cast<int>(i) + 1, message};
    }

    void Tokenize(std::string_view line) {
        // A decoded string is shorter than its quoted text, so the line's strings fit
        // in this room without moving, and the views of the earlier ones stay valid.
        decoded_.clear();
        decoded_.reserve(line.size());
        size_t i = 0;
        while (i < line.size()) {
            char c = line[i];
            if (c == ' ' || c == '\t') {
                ++i;
            } else if (c == '#' && tokens_.empty()) {
                return;  // a comment line
            } else if (c == '#') {
                Colour value = 0;
                for (int k = 0; k < 6; ++k) {
                    int h = i + 1 + k < line.size() ? HexValue(line[i + 1 + k]) : -1;
                    if (h < 0) Fail(i, "a colour is # and six hexadecimal digits");
                    value = value * 16 + static_cast<Colour>(h);
                }
                if (i + 7 < line.size() && IsWordChar(line[i + 7])) Fail(i, "a colour is # and six hexadecimal digits");
                // #RRGGBB in the file, 0x00BBGGRR in memory.
                Colour rgb = ((value >> 16) & 0xFF) | (value & 0xFF00) | ((value & 0xFF) << 16);
                tokens_.push_back({TokenType::Colour, {}, 0, rgb, static_cast<int>(i) + 1});
                i += 7;
            } else if (c == '"') {
                ReadString(line, i);
            } else if (c == '-' || c == '+' || c == '.' || (c >= '0' && c <= '9')) {
                ReadNumber(line, i);
            } else if (IsWordChar(c)) {
                size_t start = i;
                while (i < line.size() && IsWordChar(line[i])) ++i;
                tokens_.push_back({TokenType::Word, line.substr(start, i - start), 0, 0,
                                   static_cast<int>(start) + 1});
            } else if (c == '\0') {
                Fail(i, "a zero byte: this is not a drawing text file");
            } else {
                Fail(i, std::string("unexpected character '") + (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F ? std::string("?") : std::string(1, c)) + "'");
            }
        }
    }

    void ReadNumber(std::string_view line, size_t& i) {
        size_t start = i;
        if (line[i] == '-' || line[i] == '+') ++i;
        size_t digits = 0;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i, ++digits;
        if (i < line.size() && line[i] == '.') {
            ++i;
            while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i, ++digits;
        }
        if (digits == 0 || digits > 30 || (i < line.size() && IsWordChar(line[i]))) Fail(start, "malformed number");
        // At most 30 digits, a sign and a point: strtod reads them from a terminated copy.
        char copy[40];
        const size_t length = i - start;
        line.copy(copy, length, start);
        copy[length] = '\0';
        double value = std::strtod(copy, nullptr);
        if (!(value >= -FormatLimits::maxCoordinate && value <= FormatLimits::maxCoordinate))
            Fail(start, "number out of range");
        tokens_.push_back({TokenType::Number, {}, value, 0, static_cast<int>(start) + 1});
    }

    void ReadString(std::string_view line, size_t& i) {
        size_t start = i++;
        const size_t from = decoded_.size();
        for (;;) {
            if (i >= line.size()) Fail(start, "unterminated string");
            char c = line[i];
            if (c == '"') {
                ++i;
                break;
            }
            if (c == '\0') Fail(i, "a zero byte: this is not a drawing text file");
            if (c != '\\') {
                decoded_ += c;
                ++i;
                continue;
            }
            if (i + 1 >= line.size()) Fail(i, "unterminated string");
            char e = line[i + 1];
            switch (e) {
                case '\\': decoded_ += '\\'; i += 2; break;
                case '"': decoded_ += '"'; i += 2; break;
                case 'n': decoded_ += '\n'; i += 2; break;
                case 'r': decoded_ += '\r'; i += 2; break;
                case 't': decoded_ += '\t'; i += 2; break;
                case 'x': {
                    int h1 = i + 2 < line.size() ? HexValue(line[i + 2]) : -1;
                    int h2 = i + 3 < line.size() ? HexValue(line[i + 3]) : -1;
                    if (h1 < 0 || h2 < 0) Fail(i, "\\x needs two hexadecimal digits");
                    int byte = h1 * 16 + h2;
                    if (byte == 0) Fail(i, "a string cannot hold a zero byte");
                    decoded_ += static_cast<char>(byte);
                    i += 4;
                    break;
                }
                default: Fail(i, "unknown escape in string");
            }
        }
        const std::string_view text(decoded_.data() + from, decoded_.size() - from);
        tokens_.push_back({TokenType::String, text, 0, 0, static_cast<int>(start) + 1});
    }

    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 0;
    std::vector<Token> tokens_;
    std::string decoded_;  // the strings of the current line
};

class Parser {
public:
    explicit Parser(std::string_view text) : lexer_(text) {}

    std::unique_ptr<Drawing> Parse() {
        drawing_ = std::make_unique<Drawing>();
        if (!Next()) throw Failure{1, 1, "empty file: expected \"vkdrawing 1\""};
        if (!IsWord(0, "vkdrawing")) Fail(0, "expected \"vkdrawing 1\" on the first line");
        if (Number(1) != 1) Fail(1, "unsupported format version");
        EndOfLine(2);
        bool pageSeen = false;
        while (Next()) {
            const std::string_view key = Word(0);
            if (key == "page") {
                double w = Number(1), h = Number(2);
                EndOfLine(3);
                if (!(w > 0 && h > 0)) Fail(1, "the page needs a positive width and height");
                drawing_->pageWidth = w;
                drawing_->pageHeight = h;
                pageSeen = true;
            } else if (key == "paper") {
                drawing_->paper = ColourAt(1);
                drawing_->hasPaper = true;
                EndOfLine(2);
            } else if (key == "layer") {
                ParseLayer();
            } else if (key == "symbol") {
                drawing_->symbols.push_back(ParseSymbol(nullptr, 1));
            } else {
                Fail(0, "unknown statement \"" + std::string(key) + "\"");
            }
        }
        if (!pageSeen) throw Failure{lexer_.Line(), 1, "the drawing has no \"page\" statement"};
        if (drawing_->layers.empty()) drawing_->layers.push_back({});
        int count = static_cast<int>(drawing_->layers.size());
        for (const auto& [layer, line] : layerUses_)
            if (layer > count) throw Failure{line, 1, "symbol on layer " + std::to_string(layer) + ", which is not declared"};
        return std::move(drawing_);
    }

private:
    bool Next() { return lexer_.NextLine(tokens_, line_); }

    [[noreturn]] void Fail(size_t index, const std::string& message) {
        int column = index < tokens_.size() ? tokens_[index].column
                                             : (tokens_.empty() ? 1 : tokens_.back().column + 1);
        throw Failure{line_, column, message};
    }

    bool IsWord(size_t i, std::string_view w) const {
        return i < tokens_.size() && tokens_[i].type == TokenType::Word && tokens_[i].text == w;
    }
    // A view, so that comparing it with a keyword needs no measuring of the keyword.
    std::string_view Word(size_t i) {
        if (i >= tokens_.size() || tokens_[i].type != TokenType::Word) Fail(i, "expected a keyword");
        return tokens_[i].text;
    }
    double Number(size_t i) {
        if (i >= tokens_.size() || tokens_[i].type != TokenType::Number) Fail(i, "expected a number");
        return tokens_[i].number;
    }
    int Integer(size_t i) {
        double v = Number(i);
        if (v != static_cast<double>(static_cast<int>(v))) Fail(i, "expected a whole number");
        return static_cast<int>(v);
    }
    // Valid until the next line is read.
    std::string_view String(size_t i) {
        if (i >= tokens_.size() || tokens_[i].type != TokenType::String) Fail(i, "expected a quoted string");
        return tokens_[i].text;
    }
    Colour ColourAt(size_t i) {
        if (i >= tokens_.size() || tokens_[i].type != TokenType::Colour) Fail(i, "expected a colour #RRGGBB");
        return tokens_[i].colour;
    }
    void EndOfLine(size_t i) {
        if (i < tokens_.size()) Fail(i, "unexpected text at the end of the line");
    }

    void ParseLayer() {
        int n = Integer(1);
        int expected = static_cast<int>(drawing_->layers.size()) + 1;
        if (n != expected) Fail(1, "layers are numbered 1, 2, 3... in order; expected " + std::to_string(expected));
        if (n > FormatLimits::maxLayers) Fail(1, "too many layers");
        Layer layer;
        const std::string_view state = Word(2);
        if (state == "shown") layer.visible = true;
        else if (state == "hidden") layer.visible = false;
        else Fail(2, "a layer is \"shown\" or \"hidden\"");
        size_t next = 3;
        if (next < tokens_.size()) layer.title = String(next++);
        EndOfLine(next);
        drawing_->layers.push_back(std::move(layer));
    }

    static bool KindFromWord(std::string_view w, SymbolKind& kind) {
        static const SymbolKind kinds[] = {SymbolKind::Rectangle, SymbolKind::Ellipse, SymbolKind::Polygon,
                                           SymbolKind::Polyline, SymbolKind::Text, SymbolKind::Group};
        for (SymbolKind k : kinds)
            if (w == KindName(k)) {
                kind = k;
                return true;
            }
        return false;
    }

    std::unique_ptr<Symbol> ParseSymbol(Symbol* parent, int depth) {
        if (depth > FormatLimits::maxDepth) Fail(0, "groups nest too deeply");
        if (++symbolCount_ > FormatLimits::maxSymbols) Fail(0, "too many symbols");
        auto s = std::make_unique<Symbol>();
        if (!KindFromWord(Word(1), s->kind)) Fail(1, "unknown symbol kind \"" + std::string(Word(1)) + "\"");
        EndOfLine(2);
        s->parent = parent;
        s->layer = parent ? parent->layer : 1;
        int startLine = line_;
        bool layerGiven = false;
        if (s->kind == SymbolKind::Text) {
            s->fill = FillKind::Solid;
            s->stroked = false;
        } else if (s->kind == SymbolKind::Group) {
            s->stroked = false;
        }
        bool shapeGiven = false;
        int32_t rotateTenths = 0;
        for (;;) {
            if (!Next()) throw Failure{lexer_.Line(), 1, "symbol begun on line " + std::to_string(startLine) + " has no \"end\""};
            const std::string_view key = Word(0);
            if (key == "end") {
                EndOfLine(1);
                break;
            }
            if (key == "name") {
                s->name = String(1);
                s->named = true;
                EndOfLine(2);
            } else if (key == "layer") {
                s->layer = Integer(1);
                if (s->layer < 1 || s->layer > FormatLimits::maxLayers) Fail(1, "layer numbers start at 1");
                layerGiven = true;
                EndOfLine(2);
            } else if (key == "hidden") {
                s->visible = false;
                EndOfLine(1);
            } else if (key == "fill") {
                ParseFill(*s);
            } else if (key == "stroke") {
                if (IsWord(1, "none")) {
                    s->stroked = false;
                    EndOfLine(2);
                } else {
                    s->stroked = true;
                    s->strokeColour = ColourAt(1);
                    s->strokeWidth = Number(2);
                    if (!(s->strokeWidth >= 0)) Fail(2, "the stroke width cannot be negative");
                    EndOfLine(3);
                }
            } else if (key == "box") {
                if (s->kind != SymbolKind::Rectangle && s->kind != SymbolKind::Ellipse)
                    Fail(0, "only rectangles and ellipses have a box");
                s->points = {{Number(1), Number(2)}, {Number(3), Number(4)}};
                EndOfLine(5);
                shapeGiven = true;
            } else if (key == "points") {
                if (s->kind != SymbolKind::Polygon && s->kind != SymbolKind::Polyline)
                    Fail(0, "only polygons and polylines have points");
                if (tokens_.size() % 2 == 0 || tokens_.size() < 3) Fail(tokens_.size(), "points come in x y pairs");
                for (size_t i = 1; i + 1 < tokens_.size(); i += 2) {
                    if (s->points.size() >= FormatLimits::maxPoints) Fail(i, "too many points");
                    s->points.push_back({Number(i), Number(i + 1)});
                }
                shapeGiven = true;
            } else if (key == "at") {
                if (s->kind != SymbolKind::Text) Fail(0, "only texts have an anchor");
                s->points = {{Number(1), Number(2)}};
                EndOfLine(3);
                shapeGiven = true;
            } else if (key == "size") {
                s->textSize = Number(1);
                if (!(s->textSize > 0)) Fail(1, "the text size must be positive");
                EndOfLine(2);
            } else if (key == "text") {
                if (s->kind == SymbolKind::Group) Fail(0, "a group has no text");
                s->text = String(1);
                if (s->text.size() > FormatLimits::maxTextBytes)
                    Fail(1, "a text longer than " + std::to_string(FormatLimits::maxTextBytes) + " bytes");
                EndOfLine(2);
            } else if (key == "rotate") {
                double degrees = Number(1);
                EndOfLine(2);
                rotateTenths = static_cast<int32_t>(std::lround(degrees * 10));
            } else if (key == "property") {
                const std::string name(String(1));
                s->SetProperty(name, std::string(String(2)));
                EndOfLine(3);
            } else if (key == "symbol") {
                if (s->kind != SymbolKind::Group) Fail(0, "only groups hold symbols");
                Symbol* self = s.get();
                auto member = ParseSymbol(self, depth + 1);
                s->members.push_back(std::move(member));
            } else {
                Fail(0, "unknown symbol statement \"" + std::string(key) + "\"");
            }
        }
        int lastLine = line_;
        line_ = startLine;
        size_t minPoints = s->kind == SymbolKind::Polygon ? 3 : s->kind == SymbolKind::Polyline ? 2 : 1;
        if (s->kind != SymbolKind::Group && (!shapeGiven || s->points.size() < minPoints)) {
            const char* what = s->kind == SymbolKind::Text ? "an \"at\" line"
                               : (s->kind == SymbolKind::Rectangle || s->kind == SymbolKind::Ellipse)
                                   ? "a \"box\" line"
                                   : s->kind == SymbolKind::Polygon ? "at least 3 points" : "at least 2 points";
            throw Failure{startLine, 1, std::string("this ") + KindName(s->kind) + " needs " + what};
        }
        line_ = lastLine;
        if (!layerGiven && parent) s->layer = parent->layer;
        layerUses_.push_back({s->layer, startLine});
        if (rotateTenths != 0) {
            Box box = ShapeBox(*s);
            Point centre = box.Empty() ? Point{} : Point{(box.minX + box.maxX) / 2, (box.minY + box.maxY) / 2};
            s->placement = s->placement.Turned(rotateTenths, centre);
        }
        return s;
    }

    void ParseFill(Symbol& s) {
        if (IsWord(1, "none")) {
            s.fill = FillKind::None;
            EndOfLine(2);
        } else if (IsWord(1, "hatch")) {
            s.fill = FillKind::Hatch;
            s.fillColour = ColourAt(2);
            EndOfLine(3);
        } else {
            s.fill = FillKind::Solid;
            s.fillColour = ColourAt(1);
            EndOfLine(2);
        }
    }

    // The box of a symbol's shape in its parent's units, before its own "rotate" line.
    static Box ShapeBox(const Symbol& s) {
        Box box;
        for (const Point& p : s.points) box.Add(p);
        for (const auto& m : s.members) {
            Box inner = ShapeBox(*m);
            if (inner.Empty()) continue;
            for (Point c : {Point{inner.minX, inner.minY}, Point{inner.maxX, inner.minY}, Point{inner.minX, inner.maxY},
                            Point{inner.maxX, inner.maxY}})
                box.Add(m->placement.Apply(c));
        }
        return box;
    }

    Lexer lexer_;
    std::vector<Token> tokens_;
    int line_ = 0;
    std::unique_ptr<Drawing> drawing_;
    size_t symbolCount_ = 0;
    std::vector<std::pair<int, int>> layerUses_;  // layer, line
};

}  // namespace

std::unique_ptr<Drawing> ParseDrawing(std::string_view text, LoadError& error) {
    try {
        Parser parser(text);
        return parser.Parse();
    } catch (const Failure& f) {
        error.line = f.line;
        error.column = f.column;
        error.message = f.message;
    } catch (const std::bad_alloc&) {
        error.line = error.column = 0;
        error.message = "out of memory";
    }
    return nullptr;
}

std::unique_ptr<Drawing> LoadDrawingFile(const char* path, LoadError& error) {
    error = LoadError{};
    error.file = path ? path : "";
    if (!path || !*path) {
        error.message = "no file name";
        return nullptr;
    }
    std::FILE* f = std::fopen(path, "rb");
    if (!f) {
        error.message = "cannot open the file";
        return nullptr;
    }
    std::string text;
    char chunk[65536];
    size_t got;
    bool tooBig = false;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        if (text.size() + got > FormatLimits::maxFileBytes) {
            tooBig = true;
            break;
        }
        text.append(chunk, got);
    }
    bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (tooBig) {
        error.message = "the file is larger than a drawing can be";
        return nullptr;
    }
    if (readError) {
        error.message = "cannot read the file";
        return nullptr;
    }
    return ParseDrawing(text, error);
}

}  // namespace cvl
