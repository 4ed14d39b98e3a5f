// The desktop program on a very deep and a very wide tree (5000 nodes here,
// 100000 in scripts/faults.sh):
// the solution opens, its explorer fills, the tree window opens, arranges,
// finds and exports, and the derived views (CBT, CIN, CID) open; nothing
// crashes or hangs, and a picture too large to draw at the asked scale is
// drawn smaller, not cut.
#include "deeptrees.h"
#include "guitestkit.h"
#include "scriptedprompt.h"

#include "app/mainframe.h"
#include "app/programparts.h"
#include "diagram/diagramwindow.h"
#include "dialogs/kelcbtdlg.h"
#include "dialogs/kelciddlg.h"
#include "explorer/explorermenu.h"
#include "canvas/canvasscene.h"
#include "editor/childframe.h"
#include "editor/editorinstall.h"
#include "editor/tessel1doc.h"
#include "editor/treeexport.h"
#include "editor/treewindows.h"
#include "explorer/kelnavigatetree.h"
#include "model/solutionfile.h"

#include "testkit.h"

#include <QComboBox>
#include <QImageReader>
#include <QInputDialog>
#include <QtTest>

using namespace GuiTestKit;

class TestDeepInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_home = IsolateHome();
        m_nodes = TestKit::EnvNumber("VERDANTIS_DEEP_GUI_NODES", 5000);
        qInfo("%d nodes a tree", m_nodes);
        for (auto [shape, name] :
             {std::pair{DeepTrees::Shape::Chain, "chain"}, std::pair{DeepTrees::Shape::Star, "star"}}) {
            CKELDataManager m;
            DeepTrees::FillShape(m, shape, m_nodes);
            QString error;
            QVERIFY2(CSolutionFile::Write(m, m_dir.filePath(QString::fromLatin1(name) + u".kvf"_qs), &error),
                     qPrintable(error));
        }
    }

    void treeWindow_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("tree");
        QTest::newRow("chain RBT") << u"chain"_qs << u"T"_qs;
        QTest::newRow("star DBT") << u"star"_qs << u"D"_qs;
    }

    void treeWindow()
    {
        QFETCH(QString, shape);
        QFETCH(QString, tree);
        Frame f;
        CMainFrame &frame = *f.frame;
        CEditor *editor = f.editor;
        CDialogScript &script = f.script;
        QVERIFY(editor);
        frame.resize(1000, 700);
        frame.show();

        QVERIFY(frame.OpenFile(m_dir.filePath(shape + u".kvf"_qs)));
        const CKELTree *kelTree = frame.Manager().FindTree(tree == u"T"_qs ? KEL::RBTs : KEL::DBTs, tree);
        QVERIFY(kelTree);
        QCOMPARE(kelTree->Nodes().size(), m_nodes);

        CChildFrame *window = editor->Windows().Open(kelTree->GetId());
        QVERIFY(window);
        QCoreApplication::processEvents();
        CTessel1View &view = window->View();

        // arrange the whole tree: one layout over every node
        view.RearrangeAll();
        QCoreApplication::processEvents();
        const QRectF drawing = window->Document().Scene().DrawingArea();
        QVERIFY(drawing.isValid());
        // a chain grows down, a star across
        if (shape == u"chain"_qs)
            QVERIFY(drawing.height() > drawing.width());
        else
            QVERIFY(drawing.width() > drawing.height());

        // the last node is found and shown
        const QString lastBehavior = kelTree->Nodes().last()->behavior;
        QVERIFY(view.FindNext(lastBehavior));
        QVERIFY(view.SingleSelectedNode() > 0);
        QCoreApplication::processEvents();

        // export through the menu command: far too large for a picture at 100 %,
        // so it is drawn smaller, all of it
        const QString png = m_dir.filePath(shape + tree + u".png"_qs);
        script.files.append(png);
        script.Use<QInputDialog>([](QInputDialog &d) {
            d.setDoubleValue(1.0);
            return int(QDialog::Accepted);
        });
        QVERIFY(editor->ExportActive());
        const QSize size = QImageReader(png).size();
        QVERIFY(size.isValid());
        QVERIFY(qint64(size.width()) * size.height() <= TreeExport::kMaxPngPixels);
        QVERIFY(size.width() <= TreeExport::kMaxPngSide && size.height() <= TreeExport::kMaxPngSide);
    }

    void derivedWindows_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::newRow("chain") << u"chain"_qs;
        QTest::newRow("star") << u"star"_qs;
    }

    // The derived views of a huge design tree open through the user's commands:
    // a component behavior tree, the interaction network and an interface diagram.
    void derivedWindows()
    {
        QFETCH(QString, shape);
        Frame f(Frame::Everything);
        CMainFrame &frame = *f.frame;
        CEditor *editor = f.editor;
        CDialogScript &script = f.script;
        QVERIFY(editor);
        frame.resize(1000, 700);
        frame.show();
        QVERIFY(frame.OpenFile(m_dir.filePath(shape + u".kvf"_qs)));
        const CKELTree *dbt = frame.Manager().FindTree(KEL::DBTs, u"D"_qs);
        QVERIFY(dbt);
        const CExplorerTarget target{dbt->GetId(), 0};
        const CExplorerMenu &menu = frame.Explorer()->Menu();
        script.Accept<CKELCBTDlg>([](CKELCBTDlg &d) { QVERIFY(d.SelectComponent(u"C1"_qs)); });
        QVERIFY(menu.Run(KEL::DBT, u"Create CBT"_qs, target));
        QCoreApplication::processEvents();
        const auto *cbtFrame = editor->Windows().ActiveFrame();
        QVERIFY(cbtFrame);
        QCOMPARE(frame.Manager().Lookup(cbtFrame->TreeId())->GetTypeCode(), int(KEL::CBT));

        QVERIFY(menu.Run(KEL::DBT, u"Create CIN"_qs, target));
        QCoreApplication::processEvents();

        script.Accept<CKELCIDDlg>(
            [](CKELCIDDlg &d) { d.Components()->setCurrentIndex(d.Components()->findText(u"C1"_qs)); });
        QVERIFY(menu.Run(KEL::DBT, u"Create CID"_qs, target));
        QCoreApplication::processEvents();

        const QList<CDiagramWindow *> diagrams = frame.findChildren<CDiagramWindow *>();
        QCOMPARE(diagrams.size(), 2); // the network and the interface diagram
        QVERIFY(script.Done());

        editor->Windows().CloseAll();
        frame.Manager().CloseSolution();
        QTRY_COMPARE(frame.findChildren<CDiagramWindow *>().size(), 0);
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
    QTemporaryDir m_dir;
    int m_nodes = 0;
};

QTEST_MAIN(TestDeepInput)
#include "tst_deepinput.moc"
