#include "zephprogram.h"
#include "zephrun.h"

#include <QProcess>
#include <QtTest>

#include <sstream>

namespace {

// A program around a body, as the translator writes one.
QByteArray zephProgram(const QByteArray &body, int maxEvents = 10, const QByteArray &components = "c(\"A\") - init,")
{
    return "[\r\n   " + components + "\r\n   exteventCount - i(" + QByteArray::number(maxEvents) + ")\r\n].\r\n[\r\n"
           + body + "\r\n].\r\n[].";
}

QByteArray sr(const char *c, const char *s)
{
    return QByteArray("sr(c(\"") + c + "\"), s(\"" + s + "\"))";
}

QByteArray labelled(const char *label, const QByteArray &text)
{
    return QByteArray("inf(nodeInfo(\"") + label + "\"), " + text + ")";
}

} // namespace

class TestZephSim : public QObject
{
    Q_OBJECT
private slots:
    // What follows the program is the simulator's input and must stay unread.
    void readStopsAfterThirdBlock()
    {
        std::istringstream in(zephProgram("   leaf(" + sr("A", "a") + ")").toStdString() + "go\nq\n");
        std::string text;
        QVERIFY(zephsim::ReadProgramText(in, text));
        QVERIFY(QByteArray::fromStdString(text).endsWith("[]."));
        std::string rest;
        std::getline(in, rest);
        QCOMPARE(QByteArray::fromStdString(rest), QByteArray("go"));
    }

    void parse_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("nodes");
        QTest::addColumn<QString>("describeFirst");
        QTest::addColumn<QString>("error"); // part of the message, empty when it parses
        QTest::newRow("leaf") << zephProgram("   leaf(" + sr("A", "a") + ")") << 1 << u"A[a]"_qs << QString();
        QTest::newRow("empty leaf") << zephProgram("   leaf()") << 1 << u"(no behavior)"_qs << QString();
        QTest::newRow("branches") << zephProgram("   " + sr("A", "a")
                                                 + "; \r\n      pl([\r\n         leaf(wait(e(\"B-b\"))), \r\n"
                                                   "         leaf(gd(c(\"C\"), s(\"c\")))\r\n      ])")
                                  << 3 << u"A[a]"_qs << QString();
        QTest::newRow("wrapped node") << zephProgram("   leaf(inf(nodeInfo(\"0\"), revert(sel(c(\"A\"), s(\"a\")))))")
                                      << 1 << u"A?a? ^"_qs << QString();
        QTest::newRow("empty body") << QByteArray("[ exteventCount - i(1) ].[].[].") << 0 << QString() << QString();
        QTest::newRow("quote inside a name")
            << zephProgram("   leaf(sr(c(\"Do\"or\"), s(\"x\")))") << 0 << QString() << u"expected"_qs;
        QTest::newRow("unknown node") << zephProgram("   leaf(jump(c(\"A\"), s(\"a\")))") << 0 << QString()
                                      << u"a node is sr, sel, wait or gd, not jump"_qs;
        QTest::newRow("something after a leaf") << zephProgram("   leaf(" + sr("A", "a") + "); \r\n   leaf()") << 0
                                                << QString() << u"nothing can follow leaf"_qs;
        QTest::newRow("bad bound") << zephProgram("   leaf()").replace("i(10)", "i(x)") << 0 << QString()
                                   << u"exteventCount takes i(NUMBER)"_qs;
    }

    void parse()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, nodes);
        QFETCH(QString, describeFirst);
        QFETCH(QString, error);
        zephsim::Program p;
        zephsim::ParseError e;
        const bool ok = zephsim::Parse(text.toStdString(), p, e);
        QCOMPARE(ok, error.isEmpty());
        if (!ok) {
            QVERIFY2(QString::fromStdString(e.message).contains(error), e.message.c_str());
            return;
        }
        QCOMPARE(int(p.nodes.size()), nodes);
        if (nodes)
            QCOMPARE(QString::fromStdString(p.nodes[0].Describe()), describeFirst);
    }

    // Steps in order, with -I labels where the program has them, quiet.
    void run_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("maxEvents");
        QTest::addColumn<bool>("labels");
        QTest::addColumn<int>("stepLimit");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("sequence") << "   " + sr("A", "a") + "; \r\n      " + sr("B", "b") + "; \r\n         leaf("
                                         + sr("C", "c") + ")"
                                  << 10 << false << 100 << QStringList{u"A[a]"_qs, u"B[b]"_qs, u"C[c]"_qs};
        QTest::newRow("branches take turns")
            << "   " + sr("R", "r") + "; \r\n      pl([\r\n         " + sr("A", "a") + "; \r\n            leaf("
                   + sr("A", "b") + "), \r\n         leaf(" + sr("B", "b") + ")\r\n      ])"
            << 10 << false << 100 << QStringList{u"R[r]"_qs, u"A[a]"_qs, u"B[b]"_qs, u"A[b]"_qs};
        QTest::newRow("labels") << "   " + labelled("0", sr("A", "a")) + "; \r\n      leaf("
                                       + labelled("00", sr("B", "b")) + ")"
                                << 10 << true << 100 << QStringList{u"0"_qs, u"00"_qs};
        QTest::newRow("labels asked but absent")
            << "   leaf(" + sr("A", "a") + ")" << 10 << true << 100 << QStringList{u"A[a]"_qs};
        QTest::newRow("revert loops until the event bound")
            << "   " + sr("A", "a") + "; \r\n      wait(e(\"B-b\")); \r\n         leaf(revert(" + sr("A", "a") + "))"
            << 2 << false << 100 << QStringList{u"A[a]"_qs, u"??B-b??"_qs, u"A[a] ^"_qs, u"??B-b??"_qs};
        QTest::newRow("an event bound of 0 lets no event through")
            << "   " + sr("A", "a") + "; \r\n      wait(e(\"B-b\")); \r\n         leaf(" + sr("C", "c") + ")" << 0
            << false << 100 << QStringList{u"A[a]"_qs};
        QTest::newRow("goto continues after its target")
            << "   " + sr("A", "a") + "; \r\n      " + sr("B", "b") + "; \r\n         leaf(goto(" + sr("B", "b") + "))"
            << 0 << false << 3
            << QStringList{u"A[a]"_qs, u"B[b]"_qs, u"B[b] ="_qs}; // would loop: the step limit ends it
        QTest::newRow("revert without a match ends its branch")
            << "   " + sr("A", "a") + "; \r\n      leaf(revert(" + sr("X", "x") + "))" << 10 << false << 100
            << QStringList{u"A[a]"_qs, u"X[x] ^"_qs};
    }

    void run()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, maxEvents);
        QFETCH(bool, labels);
        QFETCH(int, stepLimit);
        QFETCH(QStringList, lines);
        zephsim::Program p;
        zephsim::ParseError e;
        QVERIFY2(zephsim::Parse(zephProgram(body, maxEvents).toStdString(), p, e), e.message.c_str());
        zephsim::RunOptions o;
        o.labels = labels;
        o.quiet = true;
        o.stepLimit = stepLimit;
        std::istringstream in;
        std::ostringstream out;
        zephsim::Run(p, o, in, out);
        QStringList got = QString::fromStdString(out.str()).split(u'\n');
        QCOMPARE(got.takeLast(), QString());
        QCOMPARE(got, lines);
    }

    // One input line per step; an atomic child runs in the same step.
    void interactiveSteps()
    {
        zephsim::Program p;
        zephsim::ParseError e;
        const QByteArray body =
            "   " + sr("A", "a") + "++ \r\n      " + sr("B", "b") + "; \r\n         leaf(" + sr("C", "c") + ")";
        QVERIFY2(zephsim::Parse(zephProgram(body).toStdString(), p, e), e.message.c_str());
        zephsim::RunOptions o;
        o.interactive = true;
        o.quiet = true;
        std::istringstream in("\r\n");
        std::ostringstream out;
        QCOMPARE(zephsim::Run(p, o, in, out), 1LL); // input ends after one line
        QCOMPARE(QByteArray::fromStdString(out.str()), QByteArray("A[a]\nB[b]\n"));
    }

    void program_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        const QByteArray two =
            zephProgram("   " + labelled("0", sr("A", "a")) + "; \r\n      leaf(" + labelled("00", sr("B", "b")) + ")");
        QTest::newRow("verbose") << QStringList() << two << 0
                                 << QByteArray(
                                        "zephsim: 1 component(s), 2 node(s), at most 10 external event(s)\nA[a]\nB[b]\n"
                                        "zephsim: no process left after 2 step(s)\n")
                                 << QByteArray();
        QTest::newRow("labels, quiet") << QStringList{u"-I"_qs, u"-v-"_qs} << two << 0 << QByteArray("0\n00\n")
                                       << QByteArray();
        QTest::newRow("interactive, quit") << QStringList{u"-i"_qs, u"-I"_qs, u"-v-"_qs} << two + "go\nq\n"
                                           << 0 << QByteArray("0\n") << QByteArray();
        QTest::newRow("unknown option") << QStringList{u"-x"_qs} << two << 1 << QByteArray()
                                        << QByteArray("unknown option -x");
        QTest::newRow("program cut short")
            << QStringList() << two.left(40) << 2 << QByteArray() << QByteArray("ended before its third block");
        QTest::newRow("parse error with place") << QStringList() << zephProgram("   leaf(sr(c(\"A\")))") << 2
                                                << QByteArray() << QByteArray("line 6, column");
    }

    void program()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, input);
        QFETCH(int, code);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QProcess p;
        p.start(QStringLiteral(ZEPHSIM), args);
        QVERIFY(p.waitForStarted());
        p.write(input);
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), code);
        QCOMPARE(p.readAllStandardOutput(), out);
        const QByteArray errors = p.readAllStandardError();
        QVERIFY2(err.isEmpty() ? errors.isEmpty() : errors.contains(err), errors.constData());
    }
};

QTEST_GUILESS_MAIN(TestZephSim)
#include "tst_zephsim.moc"
