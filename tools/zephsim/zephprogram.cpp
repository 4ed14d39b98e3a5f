#include "zephprogram.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <memory>

namespace zephsim {

std::string Node::Describe() const
{
    std::string jumpMark = jump == Revert ? " ^" : jump == Goto ? " =" : "";
    if (kind == "sr")
        return component + "[" + behavior + "]" + jumpMark;
    if (kind == "sel")
        return component + "?" + behavior + "?" + jumpMark;
    if (kind == "wait")
        return "??" + component + "??" + jumpMark;
    if (kind == "gd")
        return component + "???" + behavior + "???" + jumpMark;
    if (kind.empty())
        return "(no behavior)" + jumpMark;
    return kind + "(" + component + ")" + jumpMark;
}

bool ReadProgramText(std::istream &in, std::string &text)
{
    int blocks = 0;
    int depth = 0;
    bool inString = false;
    bool awaitDot = false;
    char ch;
    while (blocks < 3 && in.get(ch)) {
        text += ch;
        if (inString) {
            inString = ch != '"';
            continue;
        }
        if (awaitDot) {
            if (ch == '.') {
                awaitDot = false;
                ++blocks;
            } else if (!std::isspace(static_cast<unsigned char>(ch))) {
                awaitDot = false; // not a block end after all; the parser will say so
            }
            continue;
        }
        if (ch == '"') {
            inString = true;
        } else if (ch == '[' || ch == '(') {
            ++depth;
        } else if (ch == ']' || ch == ')') {
            if (--depth == 0 && ch == ']')
                awaitDot = true;
        }
    }
    return blocks == 3;
}

namespace {

// A generic term: name(args), name, "string", number, [args], or the
// empty term; items in args are sequences joined by ";" or "++", and an
// item may be "left - right".
struct Term
{
    enum Type { Empty, Name, Call, String, List, Minus, Sequence };
    Type type = Empty;
    std::string text;                        // name or string contents
    std::vector<std::unique_ptr<Term>> args; // call arguments, list items, minus sides, sequence items
    std::vector<bool> atomic;                // Sequence: item i joined to i+1 by "++"
    size_t offset = 0;                       // where it starts in the text
};

void placeError(const std::string &text, size_t offset, ParseError &error)
{
    int line = 1, column = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    error.line = line;
    error.column = column;
}

class Parser
{
public:
    explicit Parser(const std::string &text) : m_text(text) {}

    bool ParseProgram(std::vector<std::unique_ptr<Term>> &blocks, ParseError &error)
    {
        for (int b = 0; b < 3; ++b) {
            skipBlanks();
            if (!expect('['))
                break;
            auto block = std::make_unique<Term>();
            block->type = Term::List;
            if (!parseArgs(*block, ']', 0) || !expect(']'))
                break;
            skipBlanks();
            if (!expect('.'))
                break;
            blocks.push_back(std::move(block));
        }
        if (m_failed) {
            error = m_error;
            return false;
        }
        return true;
    }

private:
    static constexpr int kMaxNesting = 5000;

    bool fail(const std::string &message)
    {
        if (!m_failed) {
            m_failed = true;
            m_error.message = message;
            placeError(m_text, m_pos, m_error);
        }
        return false;
    }

    void skipBlanks()
    {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
    }

    bool at(char ch)
    {
        skipBlanks();
        return m_pos < m_text.size() && m_text[m_pos] == ch;
    }

    bool expect(char ch)
    {
        if (m_failed)
            return false;
        if (!at(ch))
            return fail(std::string("expected '") + ch + "'");
        ++m_pos;
        return true;
    }

    // args := seq ("," seq)*, up to (not including) the closing character
    bool parseArgs(Term &owner, char closing, int nesting)
    {
        if (nesting > kMaxNesting)
            return fail("program nested too deeply");
        if (at(closing))
            return true;
        for (;;) {
            auto seq = parseSequence(nesting);
            if (!seq)
                return false;
            owner.args.push_back(std::move(seq));
            if (at(',')) {
                ++m_pos;
                continue;
            }
            return true;
        }
    }

    // seq := item? ((";" | "++") item?)*
    std::unique_ptr<Term> parseSequence(int nesting)
    {
        auto seq = std::make_unique<Term>();
        seq->type = Term::Sequence;
        skipBlanks();
        seq->offset = m_pos;
        for (;;) {
            auto item = parseItem(nesting);
            if (!item)
                return nullptr;
            seq->args.push_back(std::move(item));
            if (at(';')) {
                ++m_pos;
                seq->atomic.push_back(false);
            } else if (at('+') && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '+') {
                m_pos += 2;
                seq->atomic.push_back(true);
            } else {
                return seq;
            }
        }
    }

    // item := term ("-" term)?
    std::unique_ptr<Term> parseItem(int nesting)
    {
        auto left = parseTerm(nesting);
        if (!left)
            return nullptr;
        if (!at('-'))
            return left;
        ++m_pos;
        auto right = parseTerm(nesting);
        if (!right)
            return nullptr;
        auto minus = std::make_unique<Term>();
        minus->type = Term::Minus;
        minus->offset = left->offset;
        minus->args.push_back(std::move(left));
        minus->args.push_back(std::move(right));
        return minus;
    }

    std::unique_ptr<Term> parseTerm(int nesting)
    {
        auto t = std::make_unique<Term>();
        skipBlanks();
        t->offset = m_pos;
        if (m_pos >= m_text.size())
            return t; // empty; the caller's closing character is missing and says so
        const char ch = m_text[m_pos];
        if (ch == '"') {
            const size_t end = m_text.find('"', m_pos + 1);
            if (end == std::string::npos) {
                fail("string without its closing quote");
                return nullptr;
            }
            t->type = Term::String;
            t->text = m_text.substr(m_pos + 1, end - m_pos - 1);
            m_pos = end + 1;
            return t;
        }
        if (ch == '[') {
            ++m_pos;
            t->type = Term::List;
            if (!parseArgs(*t, ']', nesting + 1) || !expect(']'))
                return nullptr;
            return t;
        }
        if (std::isalnum(static_cast<unsigned char>(ch)) || ch == '_') {
            size_t end = m_pos;
            while (end < m_text.size() && (std::isalnum(static_cast<unsigned char>(m_text[end])) || m_text[end] == '_'))
                ++end;
            t->type = Term::Name;
            t->text = m_text.substr(m_pos, end - m_pos);
            m_pos = end;
            if (at('(')) {
                ++m_pos;
                t->type = Term::Call;
                if (!parseArgs(*t, ')', nesting + 1) || !expect(')'))
                    return nullptr;
            }
            return t;
        }
        return t; // empty term: a node without behavior
    }

    const std::string &m_text;
    size_t m_pos = 0;
    bool m_failed = false;
    ParseError m_error;
};

// The only item of a one-item sequence, else null.
const Term *single(const Term &t)
{
    if (t.type == Term::Sequence && t.args.size() == 1)
        return t.args[0].get();
    return t.type == Term::Sequence ? nullptr : &t;
}

const Term *argument(const Term &call, size_t i)
{
    return i < call.args.size() ? single(*call.args[i]) : nullptr;
}

bool stringArgument(const Term &call, size_t i, std::string &out)
{
    const Term *a = argument(call, i);
    if (!a || a->type != Term::Call || a->args.size() != 1)
        return false;
    const Term *s = argument(*a, 0);
    if (!s || s->type != Term::String)
        return false;
    out = s->text;
    return true;
}

class Builder
{
public:
    Builder(const std::string &text, Program &program, ParseError &error)
        : m_text(text)
        , m_program(program)
        , m_error(error)
    {}

    bool Header(const Term &block)
    {
        for (const auto &entry : block.args) {
            const Term *item = single(*entry);
            if (!item || item->type != Term::Minus)
                return fail("the first block holds \"name - value\" items", *entry);
            const Term &left = *item->args[0];
            const Term &right = *item->args[1];
            if (left.type == Term::Call && left.text == "c") {
                const Term *name = argument(left, 0);
                if (!name || name->type != Term::String)
                    return fail("c(...) takes a quoted component name", left);
                m_program.components.push_back(name->text);
            } else if (left.type == Term::Name && left.text == "exteventCount") {
                const Term *n = right.type == Term::Call && right.text == "i" ? argument(right, 0) : nullptr;
                if (!n || n->type != Term::Name || n->text.empty()
                    || n->text.find_first_not_of("0123456789") != std::string::npos)
                    return fail("exteventCount takes i(NUMBER)", right);
                m_program.maxEvents = std::stoll(n->text.substr(0, 15));
            }
        }
        return true;
    }

    // A sequence becomes a chain of nodes; pl([...]) after a node gives it
    // its branches. Returns the index of the first node, or -1.
    int Sequence(const Term &seq, int parent)
    {
        int first = -1;
        int previous = parent;
        bool atomicLink = false;
        for (size_t i = 0; i < seq.args.size(); ++i) {
            const Term &item = *seq.args[i];
            if (item.type == Term::Call && item.text == "pl") {
                const Term *list = argument(item, 0);
                if (!list || list->type != Term::List || previous < 0)
                    return failed("pl takes a list of branches and follows a node", item);
                for (const auto &branch : list->args) {
                    if (branchOf(*branch, previous) < 0)
                        return -1;
                }
                previous = -1; // nothing follows the branches
                continue;
            }
            if (previous < 0 && i > 0)
                return failed("nothing can follow pl([...])", item);
            bool isLeaf = false;
            const Term *nodeTerm = &item;
            if (item.type == Term::Call && item.text == "leaf") {
                isLeaf = true;
                nodeTerm = item.args.empty() ? nullptr : single(*item.args[0]);
                if (!item.args.empty() && !nodeTerm)
                    return failed("leaf takes one node", item);
            }
            const int index = addNode(nodeTerm ? *nodeTerm : item, nodeTerm, previous, atomicLink);
            if (index < 0)
                return -1;
            if (first < 0)
                first = index;
            previous = isLeaf ? -1 : index;
            atomicLink = i < seq.atomic.size() && seq.atomic[i];
            if (isLeaf && i + 1 < seq.args.size())
                return failed("nothing can follow leaf(...)", *seq.args[i + 1]);
        }
        return first;
    }

private:
    bool fail(const std::string &message, const Term &at)
    {
        m_error.message = message;
        placeError(m_text, at.offset, m_error);
        return false;
    }
    int failed(const std::string &message, const Term &at)
    {
        fail(message, at);
        return -1;
    }

    int branchOf(const Term &t, int parent)
    {
        if (t.type != Term::Sequence)
            return failed("a branch is a process", t);
        return Sequence(t, parent);
    }

    int addNode(const Term &where, const Term *t, int parent, bool atomicLink)
    {
        static const char *const kinds[] = {"sr", "sel", "gd", "wait"};
        Node node;
        node.parent = parent;
        // peel the wrappers: inf(nodeInfo("L"), X), revert(X), goto(X)
        while (t && t->type == Term::Call) {
            if (t->text == "inf" && t->args.size() == 2) {
                if (!stringArgument(*t, 0, node.label))
                    return failed("inf takes nodeInfo(\"LABEL\") first", *t);
                t = argument(*t, 1);
            } else if ((t->text == "revert" || t->text == "goto") && t->args.size() == 1) {
                node.jump = t->text == "revert" ? Node::Revert : Node::Goto;
                t = argument(*t, 0);
            } else {
                break;
            }
        }
        if (t && t->type == Term::Call) {
            if (std::find(std::begin(kinds), std::end(kinds), t->text) == std::end(kinds))
                return failed("a node is sr, sel, wait or gd, not " + t->text, *t);
            node.kind = t->text;
            if (t->text == "wait") {
                if (!stringArgument(*t, 0, node.component))
                    return failed("wait takes e(\"EVENT\")", *t);
            } else if (!stringArgument(*t, 0, node.component) || !stringArgument(*t, 1, node.behavior)) {
                return failed(t->text + " takes c(\"COMPONENT\") and s(\"BEHAVIOR\")", *t);
            }
        } else if (t && t->type != Term::Empty) {
            return failed("a node is sr, sel, wait or gd", where);
        }
        const int index = int(m_program.nodes.size());
        m_program.nodes.push_back(std::move(node));
        if (parent >= 0) {
            m_program.nodes[size_t(parent)].children.push_back(index);
            m_program.nodes[size_t(parent)].atomicChild = atomicLink;
        }
        return index;
    }

    const std::string &m_text;
    Program &m_program;
    ParseError &m_error;
};

} // namespace

bool Parse(const std::string &text, Program &program, ParseError &error)
{
    std::vector<std::unique_ptr<Term>> blocks;
    Parser parser(text);
    if (!parser.ParseProgram(blocks, error))
        return false;
    Builder builder(text, program, error);
    if (!builder.Header(*blocks[0]))
        return false;
    if (blocks[1]->args.size() > 1) {
        error.message = "the second block holds one process";
        placeError(text, blocks[1]->args[1]->offset, error);
        return false;
    }
    if (blocks[1]->args.size() == 1 && builder.Sequence(*blocks[1]->args[0], -1) < 0 && !error.message.empty())
        return false;
    return true;
}

} // namespace zephsim
