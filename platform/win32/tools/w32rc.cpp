// The subset's resource compiler: reads the part of the .rc language that modules use
// (numbered CURSOR resources and one VERSIONINFO with StringFileInfo and VarFileInfo
// blocks) and writes a C++ source that registers them, with the module's DllMain, when
// the module is mapped. Anything else in the .rc is an error, never silently dropped.
//
// Usage: w32rc input.rc output.cpp [--linked NAME --exports FILE.def --declarations HEADER]
// The options are for platforms that link modules into the program: the module is then
// known to LoadLibraryA as NAME, and GetProcAddress finds the functions that FILE.def
// exports, declared (with their real types) by HEADER.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Token {
    enum Kind { End, Word, Number, String, Punct } kind = End;
    std::string text;
    uint32_t number = 0;
    int line = 0;
};

std::string gFile;

[[noreturn]] void Fail(int line, const std::string &message)
{
    std::cerr << gFile << ":" << line << ": error: " << message << "\n";
    std::exit(1);
}

class Lexer {
public:
    explicit Lexer(std::string text) : text_(std::move(text)) {}

    Token Next()
    {
        SkipBlanks();
        Token t;
        t.line = line_;
        if (pos_ >= text_.size()) return t;
        char c = text_[pos_];
        if (c == '"') return ReadString();
        if (std::isdigit(static_cast<unsigned char>(c))) return ReadNumber();
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            t.kind = Token::Word;
            while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
                t.text += text_[pos_++];
            return t;
        }
        t.kind = Token::Punct;
        t.text = std::string(1, c);
        ++pos_;
        return t;
    }

private:
    void SkipBlanks()
    {
        bool lineStart = pos_ == 0 || text_[pos_ - 1] == '\n';
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
                lineStart = true;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++pos_;
            } else if (lineStart && c == '#') {
                // Preprocessor lines (#include <windows.h>, #define) matter only to windres.
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else if (text_.compare(pos_, 2, "//") == 0) {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else if (text_.compare(pos_, 2, "/*") == 0) {
                size_t end = text_.find("*/", pos_ + 2);
                if (end == std::string::npos) Fail(line_, "unterminated comment");
                for (size_t i = pos_; i < end; ++i)
                    if (text_[i] == '\n') ++line_;
                pos_ = end + 2;
            } else {
                return;
            }
        }
    }

    Token ReadString()
    {
        Token t;
        t.kind = Token::String;
        t.line = line_;
        ++pos_;
        for (;;) {
            if (pos_ >= text_.size() || text_[pos_] == '\n') Fail(t.line, "unterminated string");
            char c = text_[pos_++];
            if (c == '"') {
                if (pos_ < text_.size() && text_[pos_] == '"') {  // "" is a quote
                    t.text += '"';
                    ++pos_;
                    continue;
                }
                return t;
            }
            if (c != '\\') {
                t.text += c;
                continue;
            }
            if (pos_ >= text_.size()) Fail(t.line, "unterminated string");
            char e = text_[pos_++];
            switch (e) {
            case 'n': t.text += '\n'; break;
            case 't': t.text += '\t'; break;
            case 'r': t.text += '\r'; break;
            case 'a': t.text += '\a'; break;
            case '\\': t.text += '\\'; break;
            case '"': t.text += '"'; break;
            case 'x': {
                int value = 0, digits = 0;
                while (digits < 2 && pos_ < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[pos_]))) {
                    value = value * 16 + std::stoi(std::string(1, text_[pos_++]), nullptr, 16);
                    ++digits;
                }
                t.text += char(value);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    int value = e - '0', digits = 1;
                    while (digits < 3 && pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '7') {
                        value = value * 8 + (text_[pos_++] - '0');
                        ++digits;
                    }
                    t.text += char(value);
                } else {
                    t.text += e;
                }
            }
        }
    }

    Token ReadNumber()
    {
        Token t;
        t.kind = Token::Number;
        t.line = line_;
        size_t start = pos_;
        while (pos_ < text_.size() && std::isalnum(static_cast<unsigned char>(text_[pos_]))) ++pos_;
        std::string digits = text_.substr(start, pos_ - start);
        while (!digits.empty() && (digits.back() == 'L' || digits.back() == 'l' || digits.back() == 'U' ||
                                   digits.back() == 'u'))
            digits.pop_back();
        char *end = nullptr;
        unsigned long value = std::strtoul(digits.c_str(), &end, 0);
        if (digits.empty() || *end) Fail(line_, "bad number '" + text_.substr(start, pos_ - start) + "'");
        t.number = uint32_t(value);
        t.text = digits;
        return t;
    }

    std::string text_;
    size_t pos_ = 0;
    int line_ = 1;
};

const std::map<std::string, uint32_t> &Symbols()
{
    static const std::map<std::string, uint32_t> symbols = {
        {"VS_FFI_FILEFLAGSMASK", 0x3F}, {"VS_FF_DEBUG", 0x1},        {"VS_FF_PRERELEASE", 0x2},
        {"VS_FF_PATCHED", 0x4},         {"VS_FF_PRIVATEBUILD", 0x8}, {"VS_FF_INFOINFERRED", 0x10},
        {"VS_FF_SPECIALBUILD", 0x20},   {"VOS_UNKNOWN", 0x0},        {"VOS__WINDOWS32", 0x4},
        {"VOS_NT", 0x40000},            {"VOS_NT_WINDOWS32", 0x40004}, {"VOS_DOS_WINDOWS32", 0x10004},
        {"VFT_UNKNOWN", 0x0},           {"VFT_APP", 0x1},            {"VFT_DLL", 0x2},
        {"VFT2_UNKNOWN", 0x0},
    };
    return symbols;
}

struct Resources {
    std::vector<std::pair<uint32_t, std::vector<unsigned char>>> cursors;
    bool hasVersion = false;
    uint32_t fixed[13] = {0xFEEF04BD, 0x00010000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> tables;
    std::vector<uint32_t> translations;
};

class Parser {
public:
    Parser(Lexer &lexer, std::string dir) : lexer_(lexer), dir_(std::move(dir)) { Advance(); }

    Resources Parse()
    {
        while (tok_.kind != Token::End) {
            if (tok_.kind != Token::Number && tok_.kind != Token::Word) Fail(tok_.line, "resource name expected");
            Token name = tok_;
            Advance();
            if (IsWord("CURSOR")) {
                if (name.kind != Token::Number) Fail(name.line, "cursors are named by number here");
                Advance();
                if (tok_.kind != Token::String) Fail(tok_.line, "cursor file name expected");
                res_.cursors.emplace_back(name.number, ReadFile(tok_.text, tok_.line));
                Advance();
            } else if (IsWord("VERSIONINFO")) {
                if (res_.hasVersion) Fail(tok_.line, "a second VERSIONINFO");
                res_.hasVersion = true;
                Advance();
                ParseVersion();
            } else {
                Fail(tok_.line, "unsupported resource statement '" + tok_.text + "'");
            }
        }
        return res_;
    }

private:
    void Advance() { tok_ = lexer_.Next(); }
    bool IsWord(const char *w) const { return tok_.kind == Token::Word && tok_.text == w; }
    bool IsPunct(const char *p) const { return tok_.kind == Token::Punct && tok_.text == p; }
    bool IsBegin() const { return IsWord("BEGIN") || IsPunct("{"); }
    bool IsEnd() const { return IsWord("END") || IsPunct("}"); }

    void ExpectBegin()
    {
        if (!IsBegin()) Fail(tok_.line, "BEGIN expected");
        Advance();
    }

    void SkipComma()
    {
        if (IsPunct(",")) Advance();
    }

    uint32_t Term()
    {
        if (tok_.kind == Token::Number) {
            uint32_t v = tok_.number;
            Advance();
            return v;
        }
        if (IsPunct("(")) {
            Advance();
            uint32_t v = Expression();
            if (!IsPunct(")")) Fail(tok_.line, "')' expected");
            Advance();
            return v;
        }
        if (tok_.kind == Token::Word) {
            auto it = Symbols().find(tok_.text);
            if (it == Symbols().end()) Fail(tok_.line, "unknown constant '" + tok_.text + "'");
            Advance();
            return it->second;
        }
        Fail(tok_.line, "number expected");
    }

    uint32_t Expression()
    {
        uint32_t v = Term();
        while (IsPunct("|") || IsPunct("+")) {
            bool plus = IsPunct("+");
            Advance();
            uint32_t w = Term();
            v = plus ? v + w : (v | w);
        }
        return v;
    }

    void Version(uint32_t &ms, uint32_t &ls)
    {
        uint32_t parts[4] = {0, 0, 0, 0};
        for (int i = 0; i < 4; ++i) {
            parts[i] = Expression() & 0xFFFF;
            if (i < 3 && !IsPunct(",")) break;
            if (i < 3) Advance();
        }
        ms = (parts[0] << 16) | parts[1];
        ls = (parts[2] << 16) | parts[3];
    }

    void ParseVersion()
    {
        uint32_t *f = res_.fixed;
        while (!IsBegin()) {
            if (tok_.kind != Token::Word) Fail(tok_.line, "VERSIONINFO statement expected");
            std::string key = tok_.text;
            int line = tok_.line;
            Advance();
            if (key == "FILEVERSION") Version(f[2], f[3]);
            else if (key == "PRODUCTVERSION") Version(f[4], f[5]);
            else if (key == "FILEFLAGSMASK") f[6] = Expression();
            else if (key == "FILEFLAGS") f[7] = Expression();
            else if (key == "FILEOS") f[8] = Expression();
            else if (key == "FILETYPE") f[9] = Expression();
            else if (key == "FILESUBTYPE") f[10] = Expression();
            else Fail(line, "unsupported VERSIONINFO statement '" + key + "'");
        }
        Advance();
        while (!IsEnd()) {
            if (!IsWord("BLOCK")) Fail(tok_.line, "BLOCK expected");
            Advance();
            if (tok_.kind != Token::String) Fail(tok_.line, "block name expected");
            std::string name = tok_.text;
            Advance();
            if (name == "StringFileInfo") ParseStrings();
            else if (name == "VarFileInfo") ParseVars();
            else Fail(tok_.line, "unsupported block '" + name + "'");
        }
        Advance();
    }

    void ParseStrings()
    {
        ExpectBegin();
        while (!IsEnd()) {
            if (!IsWord("BLOCK")) Fail(tok_.line, "BLOCK expected");
            Advance();
            if (tok_.kind != Token::String) Fail(tok_.line, "language block name expected");
            res_.tables.emplace_back(tok_.text, std::vector<std::pair<std::string, std::string>>{});
            Advance();
            ExpectBegin();
            while (!IsEnd()) {
                if (!IsWord("VALUE")) Fail(tok_.line, "VALUE expected");
                Advance();
                if (tok_.kind != Token::String) Fail(tok_.line, "value name expected");
                std::string key = tok_.text;
                Advance();
                SkipComma();
                if (tok_.kind != Token::String) Fail(tok_.line, "string value expected");
                // The value ends at its first NUL ("...\0" is a common way to end it).
                std::string value = tok_.text.substr(0, tok_.text.find('\0'));
                res_.tables.back().second.emplace_back(key, value);
                Advance();
            }
            Advance();
        }
        Advance();
    }

    void ParseVars()
    {
        ExpectBegin();
        while (!IsEnd()) {
            if (!IsWord("VALUE")) Fail(tok_.line, "VALUE expected");
            Advance();
            if (tok_.kind != Token::String || tok_.text != "Translation") Fail(tok_.line, "Translation expected");
            Advance();
            while (IsPunct(",")) {
                Advance();
                uint32_t language = Expression();
                if (!IsPunct(",")) Fail(tok_.line, "code page expected");
                Advance();
                uint32_t codePage = Expression();
                res_.translations.push_back((codePage << 16) | (language & 0xFFFF));
            }
        }
        Advance();
    }

    std::vector<unsigned char> ReadFile(const std::string &name, int line)
    {
        std::string path = name.size() && name[0] == '/' ? name : dir_ + "/" + name;
        std::ifstream in(path, std::ios::binary);
        if (!in) Fail(line, "cannot read '" + path + "'");
        return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    Lexer &lexer_;
    std::string dir_;
    Token tok_;
    Resources res_;
};

std::string Literal(const std::string &s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c >= 0x20 && c < 0x7F && c != '?') {
            out += char(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            out += buf;
        }
    }
    return out + "\"";
}

// A module linked into the program: its name and exported functions.
struct Linked {
    std::string name;
    std::string declarations;        // header that declares the exports
    std::vector<std::string> exports;
};

// The names a module definition file exports: the first word of each line after EXPORTS.
std::vector<std::string> ReadExports(const std::string &path)
{
    std::ifstream in(path);
    if (!in) {
        std::cerr << path << ": cannot read\n";
        std::exit(1);
    }
    std::vector<std::string> names;
    bool inExports = false;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string word;
        if (!(words >> word) || word[0] == ';') continue;
        if (word == "EXPORTS") inExports = true;
        else if (word == "LIBRARY" || word == "DESCRIPTION") inExports = false;
        else if (inExports) names.push_back(word.substr(0, word.find('=')));
    }
    return names;
}

void Write(const Resources &res, const Linked &linked, const std::string &source, std::ostream &out)
{
    out << "// Generated from " << source << " by the window system's resource compiler. Do not edit.\n"
        << "#include <win32_module_resources.h>\n";
    if (!linked.declarations.empty()) out << "#include \"" << linked.declarations << "\"\n";
    out << "\n"
        << "// The module's own DllMain, if it has one; hidden so it is never exported.\n"
        << "extern \"C\" __attribute__((weak, visibility(\"hidden\"))) BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID);\n\n"
        << "namespace {\n\n";
    for (const auto &cursor : res.cursors) {
        out << "const unsigned char cursor" << cursor.first << "[] = {";
        for (size_t i = 0; i < cursor.second.size(); ++i)
            out << (i % 16 ? " " : "\n    ") << unsigned(cursor.second[i]) << ",";
        out << "\n};\n";
    }
    if (!res.cursors.empty()) {
        out << "const W32CursorResource cursors[] = {\n";
        for (const auto &cursor : res.cursors)
            out << "    {" << cursor.first << ", cursor" << cursor.first << ", sizeof cursor" << cursor.first
                << "},\n";
        out << "};\n";
    }
    for (size_t t = 0; t < res.tables.size(); ++t) {
        out << "const W32StringEntry strings" << t << "[] = {\n";
        for (const auto &entry : res.tables[t].second)
            out << "    {" << Literal(entry.first) << ", " << Literal(entry.second) << "},\n";
        if (res.tables[t].second.empty()) out << "    {nullptr, nullptr},\n";
        out << "};\n";
    }
    if (!res.tables.empty()) {
        out << "const W32StringTable stringTables[] = {\n";
        for (size_t t = 0; t < res.tables.size(); ++t)
            out << "    {" << Literal(res.tables[t].first) << ", strings" << t << ", "
                << res.tables[t].second.size() << "},\n";
        out << "};\n";
    }
    if (!res.translations.empty()) {
        out << "const DWORD translations[] = {";
        for (uint32_t v : res.translations) out << " 0x" << std::hex << v << std::dec << "u,";
        out << " };\n";
    }
    if (!linked.exports.empty()) {
        // Each export through its declared type, so the table holds the function itself.
        out << "const W32ModuleExport exports[] = {\n";
        for (const auto &name : linked.exports)
            out << "    {" << Literal(name) << ", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)(void)>(&" << name
                << "))},\n";
        out << "};\n";
    }
    out << "\nconst W32ModuleResources resources = {\n"
        << "    &resources,\n"
        << "    DllMain,\n"
        << "    " << (res.hasVersion ? "TRUE" : "FALSE") << ",\n    {";
    for (int i = 0; i < 13; ++i) out << (i ? ", " : "") << "0x" << std::hex << res.fixed[i] << std::dec << "u";
    out << "},\n"
        << "    " << (res.tables.empty() ? "nullptr" : "stringTables") << ", " << res.tables.size() << ",\n"
        << "    " << (res.translations.empty() ? "nullptr" : "translations") << ", " << res.translations.size()
        << ",\n"
        << "    " << (res.cursors.empty() ? "nullptr" : "cursors") << ", " << res.cursors.size() << ",\n"
        << "    " << (linked.name.empty() ? "nullptr" : Literal(linked.name)) << ",\n"
        << "    " << (linked.exports.empty() ? "nullptr" : "exports") << ", " << linked.exports.size() << ",\n"
        << "};\n\n"
        << "struct Registration {\n"
        << "    Registration() { w32_register_module_resources(&resources); }\n"
        << "    ~Registration() { w32_unregister_module_resources(&resources); }\n"
        << "} registration;\n\n"
        << "}  // namespace\n";
}

}  // namespace

int main(int argc, char **argv)
{
    Linked linked;
    for (int i = 3; i < argc; i += 2) {
        std::string option = argv[i];
        if (i + 1 >= argc) argc = 0;
        else if (option == "--linked") linked.name = argv[i + 1];
        else if (option == "--exports") linked.exports = ReadExports(argv[i + 1]);
        else if (option == "--declarations") linked.declarations = argv[i + 1];
        else argc = 0;
    }
    if (argc < 3) {
        std::cerr << "usage: w32rc input.rc output.cpp [--linked NAME --exports FILE.def --declarations HEADER]\n";
        return 2;
    }
    gFile = argv[1];
    std::ifstream in(gFile, std::ios::binary);
    if (!in) {
        std::cerr << gFile << ": cannot read\n";
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string dir = gFile.find('/') == std::string::npos ? "." : gFile.substr(0, gFile.find_last_of('/'));
    Lexer lexer(text.str());
    Parser parser(lexer, dir);
    Resources res = parser.Parse();
    std::ostringstream generated;
    Write(res, linked, gFile.substr(gFile.find_last_of('/') + 1), generated);
    std::ofstream out(argv[2], std::ios::binary);
    out << generated.str();
    return out ? 0 : 1;
}
