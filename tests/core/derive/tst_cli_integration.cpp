// The import, derive, translate zeph, layout, mark, integrate and copy-rbt commands end to end: the
// real program on small solutions, compared with golden files. In
// evolution/versions.kvf, trees 24, 32 and 39 are "Door" in versions 1.0, 2.0
// and 3.0 (the current one), 46 is "Window"; in evolution/versions_evt.kvf,
// tree 49 is the evolution tree of "Door".
#include "clirunner.h"

#include <QTemporaryDir>
#include <QtTest>

using CliRun::TestData;

class TestCliIntegration : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_home.isValid()); }

    void command_data()
    {
        CliRun::AddGoldenColumns();
        const QString lamp = u"integration/lamp.kvf"_qs;
        const QString shapes = u"layout/shapes.kvf"_qs;
        const QString design = u"cbt/design.kvf"_qs;
        const QString evt = u"evolution/versions_evt.kvf"_qs;
        const QString versions = u"evolution/versions.kvf"_qs;
        const QString oven = u"cid/oven.kvf"_qs;
        const QString net = u"cin/oven.kvf"_qs;
        const QStringList cbt{u"derive"_qs, u"cbt"_qs};
        const QStringList cid{u"derive"_qs, u"cid"_qs};
        const QStringList cin{u"derive"_qs, u"cin"_qs};
        const QString none;
        QTest::newRow("mark integration") << QStringList{u"mark"_qs, u"integration"_qs, lamp, u"Lamp"_qs} << 0
                                          << u"integration/mark-integration.txt"_qs << none << none;
        QTest::newRow("mark missing") << QStringList{u"mark"_qs, u"missing"_qs, lamp, u"Lamp"_qs} << 0
                                      << u"integration/mark-missing.txt"_qs << none << none;
        QTest::newRow("mark matches of a node") << QStringList{u"mark"_qs, u"matches"_qs, lamp, u"Lamp"_qs, u"23"_qs}
                                                << 0 << u"integration/mark-matches-23.txt"_qs << none << none;
        QTest::newRow("mark matches without any")
            << QStringList{u"mark"_qs, u"matches"_qs, lamp, u"Lamp"_qs, u"28"_qs} << 0 << none << none << none;
        QTest::newRow("mark on an RBT") << QStringList{u"mark"_qs, u"integration"_qs, lamp, u"R3"_qs} << 2 << none
                                        << u"verdantis-cli: \"R3\" is not a DBT\n"_qs << none;
        QTest::newRow("mark matches of a node elsewhere")
            << QStringList{u"mark"_qs, u"matches"_qs, lamp, u"Lamp"_qs, u"11"_qs} << 2 << none
            << u"verdantis-cli: no node 11 in tree \"Lamp\"\n"_qs << none;

        QTest::newRow("integrate next") << QStringList{u"integrate"_qs, u"next"_qs, lamp,      u"Lamp"_qs,
                                                       u"23"_qs,        u"-o"_qs,   u"@out"_qs}
                                        << 0 << none << none << u"integration/integrate-next-23.kvf"_qs;
        QTest::newRow("integrate next without a matching root")
            << QStringList{u"integrate"_qs, u"next"_qs, lamp, u"Lamp"_qs, u"22"_qs, u"-o"_qs, u"@out"_qs} << 2 << none
            << u"verdantis-cli: no root of another tree matches node 22\n"_qs << none;
        QTest::newRow("integrate this, first of two matches")
            << QStringList{u"integrate"_qs, u"this"_qs, lamp, u"Lamp"_qs, u"27"_qs, u"-o"_qs, u"@out"_qs} << 0 << none
            << u"Message: More than one match found.Integrate with first match? (answered OK)\n"_qs
            << u"integration/integrate-this-27.kvf"_qs;
        QTest::newRow("integrate this, not a root")
            << QStringList{u"integrate"_qs, u"this"_qs, lamp, u"Lamp"_qs, u"25"_qs, u"-o"_qs, u"@out"_qs} << 2 << none
            << u"Message: Not A Root Node\n"_qs << none;
        QTest::newRow("integrate this, no match")
            << QStringList{u"integrate"_qs, u"this"_qs, lamp, u"Lamp"_qs, u"30"_qs, u"-o"_qs, u"@out"_qs} << 2 << none
            << u"Message: No matching node found\n"_qs << none;

        QTest::newRow("copy-rbt") << QStringList{u"copy-rbt"_qs, lamp, u"Lamp"_qs, u"R3"_qs, u"-o"_qs, u"@out"_qs} << 0
                                  << none << none << u"integration/copy-rbt-R3.kvf"_qs;
        QTest::newRow("copy-rbt of a DBT")
            << QStringList{u"copy-rbt"_qs, lamp, u"Lamp"_qs, u"Lamp"_qs, u"-o"_qs, u"@out"_qs} << 2 << none
            << u"verdantis-cli: \"Lamp\" is not an RBT\n"_qs << none;

        QTest::newRow("layout all trees") << QStringList{u"layout"_qs, shapes, u"Sizes"_qs, u"-o"_qs, u"@out"_qs} << 0
                                          << none << none << u"layout/layout-all.kvf"_qs;
        QTest::newRow("layout a subtree")
            << QStringList{u"layout"_qs, shapes, u"Sizes"_qs, u"--subtree"_qs, u"12"_qs, u"-o"_qs, u"@out"_qs} << 0
            << none << none << u"layout/layout-subtree-12.kvf"_qs;
        QTest::newRow("layout a node of another tree")
            << QStringList{u"layout"_qs, lamp, u"Lamp"_qs, u"--subtree"_qs, u"12"_qs, u"-o"_qs, u"@out"_qs} << 2 << none
            << u"verdantis-cli: no node 12 in tree \"Lamp\"\n"_qs << none;
        QTest::newRow("layout an unknown tree")
            << QStringList{u"layout"_qs, shapes, u"Nope"_qs, u"-o"_qs, u"@out"_qs} << 2 << none
            << u"verdantis-cli: no tree named \"Nope\" in the current version\n"_qs << none;

        QTest::newRow("cbt nested with reversion and go to")
            << cbt + QStringList{design, u"Design"_qs, u"Door"_qs} << 0 << u"cbt/design_Door.txt"_qs << none << none;
        QTest::newRow("cbt INIT over two branches")
            << cbt + QStringList{design, u"Design"_qs, u"Light"_qs} << 0 << u"cbt/design_Light.txt"_qs << none << none;
        QTest::newRow("cbt single node stands alone")
            << cbt + QStringList{design, u"Design"_qs, u"Timer"_qs} << 0 << u"cbt/design_Timer.txt"_qs << none << none;
        QTest::newRow("cbt letter case is its own component") << cbt + QStringList{design, u"#9"_qs, u"door"_qs} << 0
                                                              << u"cbt/design_lowercase_door.txt"_qs << none << none;
        QTest::newRow("cbt evolution marks, INIT shown")
            << cbt + QStringList{evt, u"#49"_qs, u"Light"_qs} << 0 << u"cbt/versions_evt_Light.txt"_qs << none << none;
        QTest::newRow("cbt added in the last version")
            << cbt + QStringList{evt, u"#49"_qs, u"Bell"_qs} << 0 << u"cbt/versions_evt_Bell.txt"_qs << none << none;
        QTest::newRow("cbt dropped, guard brackets")
            << cbt + QStringList{evt, u"#49"_qs, u"Lock"_qs} << 0 << u"cbt/versions_evt_Lock.txt"_qs << none << none;
        QTest::newRow("cbt component not in the tree")
            << cbt + QStringList{design, u"Design"_qs, u"Bell"_qs, u"-o"_qs, u"@out"_qs} << 2 << none
            << u"no component \"Bell\" in tree \"Design\""_qs << none;
        QTest::newRow("cbt component not given") << cbt + QStringList{design, u"Design"_qs, u"-o"_qs, u"@out"_qs} << 1
                                                 << none << u"'derive cbt' takes"_qs << none;
        // the evolution tree is written laid out, so a layout drift shows in the golden file
        QTest::newRow("evt other versions by id, current by name")
            << QStringList{u"evt"_qs, versions, u"#24"_qs, u"#32"_qs, u"Door"_qs, u"-o"_qs, u"@out"_qs} << 0
            << u"#49 1.0->Door, 2.0->Door, 3.0->Door\n"_qs << none << evt;
        QTest::newRow("evt all by id") << QStringList{u"evt"_qs, versions, u"#24"_qs, u"#32"_qs,
                                                      u"#39"_qs, u"-o"_qs, u"@out"_qs}
                                       << 0 << u"#49 1.0->Door, 2.0->Door, 3.0->Door\n"_qs << none << evt;
        QTest::newRow("evt roots differ")
            << QStringList{u"evt"_qs, versions, u"#24"_qs, u"#46"_qs, u"-o"_qs, u"@out"_qs} << 2 << none
            << u"Not all the root nodes are identical, so can't generate the evolution tree!"_qs << none;
        QTest::newRow("evt id of no tree")
            << QStringList{u"evt"_qs, versions, u"#24"_qs, u"#16"_qs, u"-o"_qs, u"@out"_qs} << 2 << none
            << u"no tree with id #16"_qs << none;
        QTest::newRow("evt one tree only") << QStringList{u"evt"_qs, versions, u"#24"_qs, u"-o"_qs, u"@out"_qs} << 1
                                           << none << u"at least two trees"_qs << none;

        QTest::newRow("cid design tree") << cid + QStringList{oven, u"Oven"_qs, u"OVEN"_qs} << 0
                                         << u"cid/oven-OVEN.txt"_qs << none << none;
        QTest::newRow("cid evolution tree keeps markers")
            << cid + QStringList{oven, u"Evo"_qs, u"OVEN"_qs} << 0 << u"cid/evo-OVEN.txt"_qs << none << none;
        QTest::newRow("cid component with selections only")
            << cid + QStringList{oven, u"Oven"_qs, u"TIMER"_qs} << 0 << none << none << none;
        QTest::newRow("cid component not in the tree") << cid + QStringList{oven, u"Oven"_qs, u"GRILL"_qs} << 2 << none
                                                       << u"no node of component \"GRILL\""_qs << none;
        QTest::newRow("cid component differs in case") << cid + QStringList{oven, u"Oven"_qs, u"oven"_qs} << 2 << none
                                                       << u"no node of component \"oven\""_qs << none;
        QTest::newRow("cid unknown tree")
            << cid + QStringList{oven, u"Grill"_qs, u"OVEN"_qs} << 2 << none << u"no tree named \"Grill\""_qs << none;
        QTest::newRow("cid component missing")
            << cid + QStringList{oven, u"Oven"_qs} << 1 << none << u"'derive cid' takes"_qs << none;

        QTest::newRow("cin design tree by name")
            << cin + QStringList{net, u"Oven"_qs} << 0 << u"cin/oven-cin.txt"_qs << none << none;
        QTest::newRow("cin design tree by id")
            << cin + QStringList{net, u"#30"_qs} << 0 << u"cin/oven-cin.txt"_qs << none << none;
        QTest::newRow("cin tree without nodes") << cin + QStringList{net, u"Empty"_qs} << 0 << none << none << none;
        QTest::newRow("cin unknown tree")
            << cin + QStringList{net, u"Grill"_qs} << 2 << none << u"no tree named \"Grill\""_qs << none;
        QTest::newRow("cin tree missing") << cin + QStringList{net} << 1 << none << u"'derive cin' takes"_qs << none;

        const QString microwave = u"fixtures/microwave.kvf"_qs;
        const QStringList zeph{u"translate"_qs, u"zeph"_qs};
        QTest::newRow("zeph of an integrated tree")
            << zeph + QStringList{microwave, u"Oven"_qs} << 0 << u"simulate/oven.zeph"_qs << none << none;
        QTest::newRow("zeph with labels and bound")
            << zeph + QStringList{microwave, u"R3"_qs, u"--show-node-ids"_qs, u"--max-events"_qs, u"3"_qs} << 0
            << u"simulate/r3-labels.zeph"_qs << none << none;
        QTest::newRow("zeph bad bound") << zeph + QStringList{microwave, u"R3"_qs, u"--max-events"_qs, u"many"_qs} << 1
                                        << none << u"--max-events takes"_qs << none;
        QTest::newRow("zeph unknown tree")
            << zeph + QStringList{microwave, u"Nope"_qs} << 2 << none << u"no tree named"_qs << none;

        const QString text = u"fixtures/microwave-requirements.txt"_qs;
        const QStringList out{u"-o"_qs, u"@out"_qs};
        QTest::newRow("requirements into a new solution")
            << QStringList{u"import-reqs"_qs, u"model/new-solution.kvf"_qs, TestData(text)} + out << 0
            << u"5 requirement(s) added\n"_qs << none << u"reqimport/new-with-requirements.kvf"_qs;
        QTest::newRow("only some tags, one already there")
            << QStringList{u"import-reqs"_qs, microwave, TestData(text), u"--only-tags"_qs, u"R1,r4"_qs} + out << 0
            << u"1 requirement(s) added, 1 refused\n"_qs
            << u"Message: Requirement with tag R1 is already added in the project\n"_qs
            << u"reqimport/microwave-r4.kvf"_qs;
        QTest::newRow("nodes into a tree")
            << QStringList{u"import-nodes"_qs, microwave, u"R3"_qs, TestData(u"reqimport/nodes.txt"_qs)} + out << 0
            << u"3 node(s) added\n"_qs << none << u"reqimport/microwave-r3-nodes.kvf"_qs;
        QTest::newRow("import bad preceding character")
            << QStringList{u"import-reqs"_qs, microwave, TestData(text), u"--preceded"_qs, u"comma"_qs} + out << 1
            << none << u"--preceded takes newline or period"_qs << none;
        QTest::newRow("import bad separator")
            << QStringList{u"import-reqs"_qs, microwave, TestData(text), u"--separator"_qs, u"dash"_qs} + out << 1
            << none << u"--separator takes period, colon or newline"_qs << none;
        QTest::newRow("import missing text") << QStringList{u"import-reqs"_qs, microwave, u"none.txt"_qs} + out << 2
                                             << none << u"Cannot read none.txt"_qs << none;
        QTest::newRow("import into an unknown tree")
            << QStringList{u"import-nodes"_qs, microwave, u"R9"_qs, TestData(text)} + out << 2 << none
            << u"no tree named \"R9\""_qs << none;
    }

    void command() { CliRun::CheckGoldenRow(m_home.path()); }

private:
    QTemporaryDir m_home;
};

QTEST_GUILESS_MAIN(TestCliIntegration)
#include "tst_cli_integration.moc"
