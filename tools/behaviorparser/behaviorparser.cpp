// verdantis-behaviorparser [INPUT [OUTPUT]]
//
// Reads the behavior text on the first line of INPUT (default BTSetExp.txt)
// and writes it to OUTPUT (default OutPut) as XML elements, one a line:
//
//   text        := ["||" | "[]"] behavior     <quantifier>all</quantifier> or any, first
//   behavior    := "NOT" "(" behavior ")"     <not> ... </not>
//                | NAME ":=" VALUE            <assignment> <attribute> <value> </assignment>
//                | NAME "++" | NAME "--"      <increment> or <decrement> with <attribute>
//                | NAME OP VALUE              <comparison> <attribute> <operator> <value> </comparison>
//                                             OP: = == != < > <= >=  (eq ne lt gt le ge)
//                | NAME ":" NAME              after a quantifier: <variable> <set>
//                | anything else              <state>text</state>
//
// The exit code is 0, or 2 when INPUT cannot be read or OUTPUT cannot be written.
#include "toolinfo.h"

#include <cctype>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string trimmed(const std::string &s)
{
    size_t b = 0;
    size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

std::string escaped(const std::string &s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string element(const char *name, const std::string &text)
{
    return std::string("<") + name + ">" + escaped(trimmed(text)) + "</" + name + ">";
}

bool startsWithNot(const std::string &text, std::string &inner)
{
    if (text.size() < 5)
        return false;
    std::string head = text.substr(0, 3);
    for (char &c : head)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    if (head != "NOT" || text.back() != ')')
        return false;
    const std::string rest = trimmed(text.substr(3));
    if (rest.empty() || rest.front() != '(')
        return false;
    inner = trimmed(rest.substr(1, rest.size() - 2));
    return true;
}

// The first comparison in text: its place, its length and its name.
bool findComparison(const std::string &text, size_t &at, size_t &width, const char *&name)
{
    struct Op
    {
        const char *text;
        const char *name;
    };
    static const Op two[] = {{"<=", "le"}, {">=", "ge"}, {"!=", "ne"}, {"==", "eq"}};
    static const Op one[] = {{"<", "lt"}, {">", "gt"}, {"=", "eq"}};
    for (size_t i = 0; i < text.size(); ++i) {
        for (const Op &op : two) {
            if (text.compare(i, 2, op.text) == 0) {
                at = i;
                width = 2;
                name = op.name;
                return true;
            }
        }
        for (const Op &op : one) {
            if (text[i] == op.text[0]) {
                at = i;
                width = 1;
                name = op.name;
                return true;
            }
        }
    }
    return false;
}

void behavior(const std::string &text, bool quantified, std::vector<std::string> &out)
{
    std::string inner;
    if (startsWithNot(text, inner)) {
        out.push_back("<not>");
        behavior(inner, quantified, out);
        out.push_back("</not>");
        return;
    }
    if (const size_t assign = text.find(":="); assign != std::string::npos) {
        out.push_back("<assignment>");
        out.push_back(element("attribute", text.substr(0, assign)));
        out.push_back(element("value", text.substr(assign + 2)));
        out.push_back("</assignment>");
        return;
    }
    for (const char *step : {"++", "--"}) {
        if (const size_t at = text.find(step); at != std::string::npos && trimmed(text.substr(at + 2)).empty()) {
            const char *name = step[0] == '+' ? "increment" : "decrement";
            out.push_back(std::string("<") + name + ">");
            out.push_back(element("attribute", text.substr(0, at)));
            out.push_back(std::string("</") + name + ">");
            return;
        }
    }
    size_t at = 0;
    size_t width = 0;
    const char *op = nullptr;
    if (findComparison(text, at, width, op) && !trimmed(text.substr(0, at)).empty()) {
        out.push_back("<comparison>");
        out.push_back(element("attribute", text.substr(0, at)));
        out.push_back(element("operator", op));
        out.push_back(element("value", text.substr(at + width)));
        out.push_back("</comparison>");
        return;
    }
    if (const size_t colon = text.find(':'); quantified && colon != std::string::npos) {
        out.push_back(element("variable", text.substr(0, colon)));
        out.push_back(element("set", text.substr(colon + 1)));
        return;
    }
    out.push_back(element("state", text));
}

} // namespace

int main(int argc, char *argv[])
{
    static const toolinfo::Info info{"verdantis-behaviorparser", "[in] [out]",
                                     "Reads a behavior text from IN (default BTSetExp.txt) and writes its parts,\n"
                                     "one XML element a line, to OUT (default OutPut).\n",
                                     ""};
    if (toolinfo::Answered(info, argc, argv))
        return 0;
    const std::string inPath = argc > 1 ? argv[1] : "BTSetExp.txt";
    const std::string outPath = argc > 2 ? argv[2] : "OutPut";
    std::ifstream in(inPath, std::ios::binary);
    if (!in) {
        std::cerr << "verdantis-behaviorparser: cannot read " << inPath << '\n';
        return 2;
    }
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    std::string text = trimmed(line);

    std::vector<std::string> out;
    bool quantified = false;
    if (text.rfind("||", 0) == 0 || text.rfind("[]", 0) == 0) {
        out.push_back(element("quantifier", text[0] == '|' ? "all" : "any"));
        text = trimmed(text.substr(2));
        quantified = true;
    }
    behavior(text, quantified, out);

    std::ofstream result(outPath, std::ios::binary | std::ios::trunc);
    for (const std::string &l : out)
        result << l << '\n';
    result.close();
    if (!result) {
        std::cerr << "verdantis-behaviorparser: cannot write " << outPath << '\n';
        return 2;
    }
    return 0;
}
