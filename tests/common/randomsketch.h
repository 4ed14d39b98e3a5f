#pragma once

// Random behavior trees written in the tests' tree-description form (one
// node a line, two blanks of indent per level, TYPE|COMPONENT|BEHAVIOR|FLAGS;
// see treesketch.h for the flags). Every node type,
// branching, atomic steps, reversions, go-tos, branch kills and internal
// messages appear, with names chosen to make trouble: names that differ only
// in case or punctuation, letters outside ASCII, reserved words of the model
// checkers' languages and names the translators generate themselves.
//
// The trees are not all translatable (a go-to may find two targets, an
// atomic step two guards): a test skips the ones the translator refuses and
// checks that enough are left.

#include <QList>
#include <QString>
#include <QStringList>

#include <random>

namespace RandomSketch {

inline const QStringList &HostileNames()
{
    static const QStringList names{
        QStringLiteral("Door"),      QStringLiteral("door"),         QStringLiteral("half open"),
        QStringLiteral("half-open"), QStringLiteral("Tür"),          QStringLiteral("Tör"),
        QStringLiteral("門"),        QStringLiteral("扉"),           QStringLiteral("pc1"),
        QStringLiteral("env"),       QStringLiteral("process1"),     QStringLiteral("globalClock"),
        QStringLiteral("startpro1"), QStringLiteral("exit"),         QStringLiteral("abs"),
        QStringLiteral("OBSERVE"),   QStringLiteral("INVARIANT"),    QStringLiteral("begin"),
        QStringLiteral("2nd"),       QStringLiteral("_x"),           QStringLiteral("a\"b<c>&d"),
        QStringLiteral("disabled"),  QStringLiteral("iDoor"),        QStringLiteral("x"),
        QStringLiteral("closing"),   QStringLiteral("pro1state1"),   QStringLiteral("Straße"),
        QStringLiteral("view"),      QStringLiteral("messageReady"), QStringLiteral("extInMsg_door_open"),
    };
    return names;
}

struct Options
{
    int nodes = 30;
    bool hostile = true; // else plain names c1, s1, ...
};

class Generator
{
public:
    explicit Generator(unsigned seed, Options options = {}) : m_random(seed), m_options(options) {}

    QString Sketch()
    {
        build();
        QString out;
        write(0, 0, out);
        return out;
    }

private:
    struct Node
    {
        int parent = -1;
        QList<int> children;
        int type = 1;
        QString component;
        QString behavior;
        QString flags;
    };

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    bool chance(int percent) { return pick(100) < percent; }

    QString name(bool component)
    {
        if (m_options.hostile && chance(60))
            return HostileNames()[pick(int(HostileNames().size()))];
        return (component ? QStringLiteral("c") : QStringLiteral("s")) + QString::number(pick(6));
    }

    QString stateText(int type)
    {
        // numbers and names go to attributes of their own, so that few trees mix kinds
        const QString number = u'n' + QString::number(pick(3));
        const QString named = u'm' + QString::number(pick(3));
        switch (pick(type == 1 ? 6 : 5)) {
        case 0: return number + QStringLiteral(" := ") + QString::number(pick(5) - 1);
        case 1: return named + QStringLiteral(" := ") + name(false);
        case 2: return type == 1 ? number + QStringLiteral("++") : number + QStringLiteral(" < 3");
        case 3: return type == 1 ? number + QStringLiteral("--") : QStringLiteral("NOT(") + name(false) + u')';
        default: return name(false);
        }
    }

    int add(int parent, int type, const QString &component, const QString &behavior, const QString &flags = {})
    {
        Node n;
        n.parent = parent;
        n.type = type;
        n.component = component;
        n.behavior = behavior;
        n.flags = flags;
        m_nodes.append(n);
        const int index = int(m_nodes.size()) - 1;
        if (parent >= 0)
            m_nodes[parent].children.append(index);
        return index;
    }

    void build()
    {
        m_nodes.clear();
        const QString rootComponent = name(true);
        int last = add(-1, 1, rootComponent, name(false));
        if (chance(50))
            last = add(last, 1, name(true),
                       u'n' + QString::number(pick(3)) + QStringLiteral(" := ") + QString::number(pick(3)), u"*"_qs);
        // the initialisation block neither branches nor holds anything but state realisations
        last = add(last, 3, name(true), name(false));
        QList<int> open{last};
        QList<int> inputs; // internal inputs, for outputs to send to
        for (int i = 0; i < m_options.nodes; ++i) {
            // mostly grow the newest nodes, so that the tree gets deep as well as wide
            const int parent = open[std::max(0, int(open.size()) - 1 - pick(std::min<int>(4, int(open.size()))))];
            int type = 1 + pick(8);
            QString component = name(true);
            QString behavior = type == 1 || type == 2 || type == 4 ? stateText(type) : name(false);
            if (type == 8) {
                if (inputs.isEmpty()) {
                    type = 7;
                } else {
                    const Node &in = m_nodes[inputs[pick(int(inputs.size()))]];
                    component = in.component;
                    behavior = in.behavior;
                }
            }
            const QString flags = chance(15) ? u"*"_qs : QString();
            const int n = add(parent, type, component, behavior, flags);
            if (type == 7)
                inputs.append(n);
            open.append(n);
        }
        // the rules know branchings of plain steps, all concurrent or all alternative
        for (Node &parent : m_nodes) {
            const bool alternative = chance(40);
            for (int c : std::as_const(parent.children)) {
                QString &flags = m_nodes[c].flags;
                flags.remove(u'~');
                if (parent.children.size() > 1) {
                    flags.remove(u'*');
                    if (alternative)
                        flags += u'~';
                }
            }
        }
        // some leaves become jumps and kills, named after what they reach
        for (int n = 2; n < m_nodes.size(); ++n) {
            Node &leaf = m_nodes[n];
            if (!leaf.children.isEmpty() || leaf.type == 7 || leaf.type == 8 || !chance(25))
                continue;
            switch (pick(3)) {
            case 0: { // reversion to an ancestor
                int a = m_nodes[n].parent;
                for (int up = pick(4); up > 0 && m_nodes[a].parent > 0; --up)
                    a = m_nodes[a].parent;
                leaf.type = m_nodes[a].type == 7 || m_nodes[a].type == 8 ? 1 : m_nodes[a].type;
                leaf.component = m_nodes[a].component;
                leaf.behavior = m_nodes[a].behavior;
                leaf.flags = u"^"_qs;
                break;
            }
            case 1: { // go to a node elsewhere
                const int target = 1 + pick(int(m_nodes.size()) - 1);
                if (target == n || m_nodes[target].type == 7 || m_nodes[target].type == 8)
                    break;
                leaf.type = m_nodes[target].type;
                leaf.component = m_nodes[target].component;
                leaf.behavior = m_nodes[target].behavior;
                leaf.flags = u"="_qs;
                break;
            }
            default: { // kill a branch: the first node of one
                for (int b = 1; b < m_nodes.size(); ++b) {
                    const Node &start = m_nodes[b];
                    if (b != n && start.parent >= 0 && m_nodes[start.parent].children.size() > 1 && chance(30)) {
                        leaf.type = start.type == 7 || start.type == 8 ? 1 : start.type;
                        leaf.component = start.component;
                        leaf.behavior = start.behavior;
                        leaf.flags = u"!"_qs;
                        break;
                    }
                }
                break;
            }
            }
        }
    }

    void write(int node, int depth, QString &out) const
    {
        // iterative: a generated tree may be deep
        QList<std::pair<int, int>> stack{{node, depth}};
        while (!stack.isEmpty()) {
            const auto [n, d] = stack.takeLast();
            const Node &x = m_nodes[n];
            out += QString(d * 2, u' ') + QString::number(x.type) + u'|' + x.component + u'|' + x.behavior;
            if (!x.flags.isEmpty())
                out += u'|' + x.flags;
            out += u'\n';
            for (qsizetype i = x.children.size() - 1; i >= 0; --i)
                stack.append({x.children[i], d + 1});
        }
    }

    std::mt19937 m_random;
    Options m_options;
    QList<Node> m_nodes;
};

inline QString Sketch(unsigned seed, Options options = {})
{
    return Generator(seed, options).Sketch();
}

} // namespace RandomSketch
