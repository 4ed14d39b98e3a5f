// verdantis-setparser [INPUT [OUTPUT]]
//
// Reads one set expression a line from INPUT (default BTSetExp.txt) and
// writes, for each, a group of keyword lines to OUTPUT (default
// SetParserOutput.txt). A group starts with "RULE n", n counting the lines
// from 1; a line it cannot read gives "ERROR why" in its group. The exit code
// is 0 when every line was read, 1 when one was not, 2 when INPUT cannot be
// read or OUTPUT cannot be written.
//
//   expression  := ["NOT"] ( assignment | condition )
//   assignment  := NAME ":=" ( NAME "+" "{" ELEMENT "}"      add an element
//                            | NAME "-" "{" ELEMENT "}"      remove an element
//                            | NAME "union" NAME
//                            | NAME ("diff" | "difference") NAME
//                            | NAME ("intersect" | "intersection") NAME
//                            | "{" "}" | "empty" )           empty the set
//   condition   := ELEMENT ["not"] "in" NAME                 membership
//                | NAME "subset" NAME
//                | NAME ("=" | "!=") "{" "}" | "empty" "(" NAME ")"
//                | ( "|" NAME "|" | "card" "(" NAME ")" ) ("<" | ">" | "=" | "<=" | ">=") NUMBER
//
// NAME is an attribute of the node's component or Component.attribute;
// keywords are read in any letter case.
#include "toolinfo.h"

#include <cctype>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Token
{
    enum Kind { End, Word, Number, Symbol } kind = End;
    std::string text;
};

// Names are the tree's own: letters of any script (every byte of a UTF-8
// sequence is 0x80 or above), digits, "_", and "." between a component and
// its attribute.
bool isWordStart(unsigned char c)
{
    return std::isalpha(c) || c == '_' || c >= 0x80;
}

bool isWordPart(unsigned char c)
{
    return isWordStart(c) || std::isdigit(c) || c == '.';
}

std::vector<Token> tokenize(const std::string &line, std::string &error)
{
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (std::isspace(c)) {
            ++i;
        } else if (isWordStart(c)) {
            size_t j = i;
            while (j < line.size() && isWordPart(static_cast<unsigned char>(line[j])))
                ++j;
            tokens.push_back({Token::Word, line.substr(i, j - i)});
            i = j;
        } else if (std::isdigit(c)) {
            size_t j = i;
            while (j < line.size() && std::isdigit(static_cast<unsigned char>(line[j])))
                ++j;
            // "2nd" is a name that starts with a digit, not a number and a name
            if (j < line.size() && isWordStart(static_cast<unsigned char>(line[j]))) {
                while (j < line.size() && isWordPart(static_cast<unsigned char>(line[j])))
                    ++j;
                tokens.push_back({Token::Word, line.substr(i, j - i)});
            } else {
                tokens.push_back({Token::Number, line.substr(i, j - i)});
            }
            i = j;
        } else {
            static const char *const two[] = {":=", "<=", ">=", "!="};
            std::string symbol(1, line[i]);
            for (const char *t : two) {
                if (line.compare(i, 2, t) == 0)
                    symbol = t;
            }
            if (std::string("+-{}|()<>=").find(symbol[0]) == std::string::npos && symbol.size() == 1) {
                error = "unexpected character '" + symbol + "'";
                return {};
            }
            tokens.push_back({Token::Symbol, symbol});
            i += symbol.size();
        }
    }
    tokens.push_back({Token::End, {}});
    return tokens;
}

std::string lower(std::string s)
{
    for (char &c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

class Parser
{
public:
    explicit Parser(std::vector<Token> tokens) : m_tokens(std::move(tokens)) {}

    // The group's lines after "RULE n"; throws when the text is no expression.
    std::vector<std::string> Parse()
    {
        bool negated = false;
        while (isKeyword("not") && peek(1).kind != Token::End && !isKeyword("in", 1)) {
            next();
            negated = !negated;
        }
        std::vector<std::string> out;
        const bool card = isKeyword("card") && isSymbol("(", 1);
        if (isSymbol("|") || card) {
            next();
            if (card)
                next();
            const std::string set = name();
            expectSymbol(card ? ")" : "|");
            const std::string cmp = comparison();
            const Token number = next();
            if (number.kind != Token::Number)
                fail("a number", number);
            out = {"cardinality", "Name " + set, "boolsym " + cmp, "Num " + number.text};
        } else if (isKeyword("empty") && isSymbol("(", 1)) {
            next();
            next();
            const std::string set = name();
            expectSymbol(")");
            out = {"empty", "Name " + set};
        } else if (peek().kind == Token::Number || isKeyword("in", 1) || (isKeyword("not", 1) && isKeyword("in", 2))) {
            const std::string element = next().text;
            if (isKeyword("not")) {
                next();
                negated = !negated;
            }
            expectKeyword("in");
            out = {"membership", "Name " + name(), "VALUE " + element};
        } else {
            const std::string first = name();
            if (isSymbol(":=")) {
                if (negated)
                    fail("a condition after NOT");
                next();
                return assignment(first);
            }
            if (isSymbol("=") || isSymbol("!=")) {
                if (next().text == "!=")
                    negated = !negated;
                expectSymbol("{");
                expectSymbol("}");
                out = {"empty", "Name " + first, "boolsym EqualTo"};
            } else if (isKeyword("subset")) {
                next();
                out = {"subset", "Name " + first, "Name " + name()};
            } else {
                fail("':=', 'in', 'subset', '=' or '!='");
            }
        }
        expectEnd();
        if (negated)
            out.insert(out.begin(), "NOT");
        return out;
    }

private:
    std::vector<std::string> assignment(const std::string &target)
    {
        std::vector<std::string> out;
        if (isSymbol("{")) {
            next();
            expectSymbol("}");
            out = {"empty", "Attribute " + target};
        } else if (isKeyword("empty")) {
            next();
            out = {"empty", "Attribute " + target};
        } else {
            const std::string source = name();
            if (isSymbol("+") || isSymbol("-")) {
                const bool add = next().text == "+";
                expectSymbol("{");
                const Token element = next();
                if (element.kind != Token::Word && element.kind != Token::Number)
                    fail("an element", element);
                expectSymbol("}");
                out = {add ? "union" : "difference", "membership", "Attribute " + target, "Name " + source,
                       "VALUE " + element.text};
            } else if (isKeyword("union")) {
                next();
                out = {"union", "Attribute " + target, "Name " + source, "Name " + name()};
            } else if (isKeyword("diff") || isKeyword("difference")) {
                next();
                out = {"difference", "Attribute " + target, "Name " + source, "Name " + name()};
            } else if (isKeyword("intersect") || isKeyword("intersection")) {
                next();
                out = {"intersection", "Attribute " + target, "Name " + source, "Name " + name()};
            } else {
                fail("'+', '-', 'union', 'diff' or 'intersect'");
            }
        }
        expectEnd();
        return out;
    }

    std::string comparison()
    {
        const Token t = next();
        if (t.text == "<")
            return "LessThan";
        if (t.text == ">")
            return "GreaterThan";
        if (t.text == "=")
            return "EqualTo";
        if (t.text == "<=")
            return "LessThanOrEqual";
        if (t.text == ">=")
            return "GreaterThanOrEqual";
        fail("a comparison", t);
    }

    std::string name()
    {
        const Token t = next();
        if (t.kind != Token::Word)
            fail("a name", t);
        return t.text;
    }

    const Token &peek(size_t ahead = 0) const
    {
        const size_t i = m_at + ahead;
        return i < m_tokens.size() ? m_tokens[i] : m_tokens.back();
    }
    Token next()
    {
        const Token t = peek();
        if (m_at < m_tokens.size() - 1)
            ++m_at;
        return t;
    }
    bool isSymbol(const char *s, size_t ahead = 0) const
    {
        return peek(ahead).kind == Token::Symbol && peek(ahead).text == s;
    }
    bool isKeyword(const char *k, size_t ahead = 0) const
    {
        return peek(ahead).kind == Token::Word && lower(peek(ahead).text) == k;
    }
    void expectSymbol(const char *s)
    {
        if (!isSymbol(s))
            fail(std::string("'") + s + "'");
        next();
    }
    void expectKeyword(const char *k)
    {
        if (!isKeyword(k))
            fail(std::string("'") + k + "'");
        next();
    }
    void expectEnd()
    {
        if (peek().kind != Token::End)
            fail("the end of the expression");
    }
    [[noreturn]] void fail(const std::string &expected) const { fail(expected, peek()); }
    [[noreturn]] static void fail(const std::string &expected, const Token &found)
    {
        throw std::runtime_error("expected " + expected
                                 + (found.kind == Token::End ? " at the end" : " at '" + found.text + "'"));
    }

    std::vector<Token> m_tokens;
    size_t m_at = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    static const toolinfo::Info info{"verdantis-setparser", "[in] [out]",
                                     "Reads one set expression a line from IN (default BTSetExp.txt) and writes\n"
                                     "the keyword lines of each to OUT (default SetParserOutput.txt).\n",
                                     ""};
    if (toolinfo::Answered(info, argc, argv))
        return 0;
    const std::string inPath = argc > 1 ? argv[1] : "BTSetExp.txt";
    const std::string outPath = argc > 2 ? argv[2] : "SetParserOutput.txt";
    std::ifstream in(inPath, std::ios::binary);
    if (!in) {
        std::cerr << "verdantis-setparser: cannot read " << inPath << '\n';
        return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<std::string> lines;
    std::istringstream split(text.str());
    for (std::string line; std::getline(split, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }

    std::ostringstream result;
    int failed = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        result << "RULE " << i + 1 << '\n';
        std::string error;
        std::vector<Token> tokens = tokenize(lines[i], error);
        try {
            if (!error.empty())
                throw std::runtime_error(error);
            if (tokens.size() == 1)
                throw std::runtime_error("an empty expression");
            for (const std::string &l : Parser(std::move(tokens)).Parse())
                result << l << '\n';
        } catch (const std::exception &why) {
            result << "ERROR " << why.what() << '\n';
            std::cerr << "verdantis-setparser: line " << i + 1 << ": " << why.what() << '\n';
            ++failed;
        }
    }
    std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
    out << result.str();
    out.close();
    if (!out) {
        std::cerr << "verdantis-setparser: cannot write " << outPath << '\n';
        return 2;
    }
    return failed ? 1 : 0;
}
