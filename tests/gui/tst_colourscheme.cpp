// The colour schemes and the dark palette: text stays readable on every
// fill, marks and simulation steps stand apart from every fill, the page
// follows the palette, and a new scheme reaches the open windows at once.
#include "guitestkit.h"

#include "app/mainframe.h"
#include "canvas/canvasscene.h"
#include "canvas/colourscheme.h"
#include "editor/kelnodeshape.h"
#include "editor/tessel1doc.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "model/nodeattributes.h"

#include <QAction>
#include <QPalette>
#include <QSettings>
#include <QtTest>

using namespace ColourScheme;

namespace {

// How far apart two colours look, enough to tell a mark from a fill.
int distance(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

QList<QColor> fills(const NodeColours &c)
{
    return {c.plain, c.implemented, c.implied, c.missing, c.evolution, c.ready};
}

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2D, 0x2D, 0x30));
    p.setColor(QPalette::WindowText, QColor(0xE8, 0xE8, 0xE8));
    p.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
    p.setColor(QPalette::Text, QColor(0xE8, 0xE8, 0xE8));
    return p;
}

} // namespace

class TestColourScheme : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_home = GuiTestKit::IsolateHome(); }

    void textIsReadable_data()
    {
        const NodeColours &m = Nodes(Scheme::Modern);
        const NodeColours &c = Nodes(Scheme::Classic);
        QTest::addColumn<int>("scheme");
        QTest::addColumn<QColor>("fill");
        QTest::newRow("plain") << int(Scheme::Modern) << m.plain;
        QTest::newRow("implemented") << int(Scheme::Modern) << m.implemented;
        QTest::newRow("implied") << int(Scheme::Modern) << m.implied;
        QTest::newRow("missing") << int(Scheme::Modern) << m.missing;
        QTest::newRow("absent from a version") << int(Scheme::Modern) << m.evolution;
        QTest::newRow("reached by a simulation") << int(Scheme::Modern) << m.ready;
        QTest::newRow("current step") << int(Scheme::Modern) << m.currentStep;
        QTest::newRow("earlier step") << int(Scheme::Modern) << m.earlierStep;
        // the simulation's fills are this program's own in the classic scheme too
        QTest::newRow("classic current step") << int(Scheme::Classic) << c.currentStep;
        QTest::newRow("classic earlier step") << int(Scheme::Classic) << c.earlierStep;
    }

    void textIsReadable()
    {
        QFETCH(int, scheme);
        QFETCH(QColor, fill);
        QVERIFY2(ContrastRatio(fill, Nodes(Scheme(scheme)).text) >= 4.5, qPrintable(fill.name()));
    }

    void marksStandApartFromFills_data()
    {
        QTest::addColumn<int>("scheme");
        QTest::newRow("classic") << int(Scheme::Classic);
        QTest::newRow("modern") << int(Scheme::Modern);
    }

    void marksStandApartFromFills()
    {
        QFETCH(int, scheme);
        const NodeColours &c = Nodes(Scheme(scheme));
        const QList<QColor> signals_{c.marks[0], c.marks[1], c.marks[2], c.currentStep, c.earlierStep};
        // Classic keeps the notation's red for both a missing node and a missing
        // precondition; the mark's dotted outline tells them apart there
        const QList<QColor> against = Scheme(scheme) == Scheme::Modern
                                          ? fills(c)
                                          : QList<QColor>{c.plain, c.implemented, c.implied, c.evolution, c.ready};
        for (const QColor &s : signals_) {
            for (const QColor &f : against)
                QVERIFY2(distance(s, f) >= 90, qPrintable(s.name() + QStringLiteral(" near ") + f.name()));
        }
        // and from each other
        for (qsizetype i = 0; i < signals_.size(); ++i) {
            for (qsizetype j = i + 1; j < signals_.size(); ++j)
                QVERIFY2(distance(signals_[i], signals_[j]) >= 90,
                         qPrintable(signals_[i].name() + QStringLiteral(" ") + signals_[j].name()));
        }
    }

    void pageFollowsThePalette_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << QPalette(Qt::white) << false;
        QTest::newRow("dark") << darkPalette() << true;
    }

    void pageFollowsThePalette()
    {
        QFETCH(QPalette, palette);
        QFETCH(bool, dark);
        CCanvasScene scene;
        scene.setPalette(palette);
        const CanvasColours c = scene.CanvasColours();
        QCOMPARE(c.page.lightness() < 128, dark);
        QVERIFY(ContrastRatio(c.link, c.page) >= 4.5);
        QVERIFY(ContrastRatio(c.grid, c.page) >= 1.5);
        QVERIFY(ContrastRatio(c.selection, c.page) >= 3.0);
    }

    void newSchemeReachesOpenWindows()
    {
        CMainFrame frame;
        CKELDataManager &m = frame.Manager();
        QVERIFY(m.AddRBT(QStringLiteral("Door"), {}, 50));
        const auto *tree = static_cast<const CKELTree *>(m.CurrentVersion()->RBTFolder()->Children().back().get());
        CNodeAttributes a;
        a.component = QStringLiteral("DOOR");
        a.behavior = QStringLiteral("open");
        QVERIFY(m.AddNode(tree->GetId(), 0, a, 10, 10));
        CTessel1Doc doc(m, tree->GetId());
        const CKELNodeShape *shape = doc.NodeShapes().begin().value();
        QCOMPARE(shape->FrameCell()->bkColor, Nodes(Scheme::Classic).implemented);

        auto *modern = frame.findChild<QAction *>(QStringLiteral("actionColourSchemeModern"));
        QVERIFY(modern);
        modern->trigger();
        QCOMPARE(shape->FrameCell()->bkColor, Nodes(Scheme::Modern).implemented);
        QCOMPARE(QSettings().value(QStringLiteral("appearance/colourScheme")).toString(), QStringLiteral("Modern"));
        frame.findChild<QAction *>(QStringLiteral("actionColourSchemeClassic"))->trigger();
        QCOMPARE(shape->FrameCell()->bkColor, Nodes(Scheme::Classic).implemented);
        QVERIFY(frame.findChild<QAction *>(QStringLiteral("actionColourSchemeClassic"))->isChecked());
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

QTEST_MAIN(TestColourScheme)
#include "tst_colourscheme.moc"
