// "verdantis-cli render" run as a documentation pipeline runs it: no
// window, no display, its own HOME.
#include "clirunner.h"

#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestCliRender : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_home.isValid()); }

    void renders_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QByteArray>("magic");
        QTest::addColumn<QSize>("pngSize");
        QTest::addColumn<QString>("written"); // when not the output named
        // R1 is three boxes of 200 by 50, one under the other from (80,20):
        // with the margin of 10 the drawing is 220 by 270
        QTest::newRow("png") << QStringList{u"R1"_qs} << u"r1.png"_qs << QByteArray("\x89PNG") << QSize(220, 270)
                             << QString();
        QTest::newRow("png at half") << QStringList{u"R1"_qs, u"--scale"_qs, u"0.5"_qs} << u"half.png"_qs
                                     << QByteArray("\x89PNG") << QSize(110, 135) << QString();
        QTest::newRow("svg of the IBT") << QStringList{u"Oven"_qs} << u"oven.svg"_qs << QByteArray("<?xml") << QSize()
                                        << QString();
        QTest::newRow("pdf by id") << QStringList{u"#25"_qs} << u"r3.pdf"_qs << QByteArray("%PDF") << QSize()
                                   << QString();
        // 220 by 270 in tiles of 100 by 200: three across, two down, row by row
        QTest::newRow("png tiles") << QStringList{u"R1"_qs, u"--tile"_qs, u"100x200"_qs} << u"tiles.png"_qs
                                   << QByteArray("\x89PNG") << QSize(20, 70) << u"tiles-006.png"_qs;
        QTest::newRow("pdf poster") << QStringList{u"R1"_qs, u"--poster"_qs, u"2x2"_qs} << u"poster.pdf"_qs
                                    << QByteArray("%PDF") << QSize() << QString();
    }

    void renders()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        QFETCH(QByteArray, magic);
        QFETCH(QSize, pngSize);
        QFETCH(QString, written);
        QString path = m_home.filePath(out);
        QString err;
        QStringList all{u"render"_qs, CliRun::TestData(u"fixtures/microwave.kvf"_qs), args.first(), u"-o"_qs, path};
        all += args.mid(1);
        QCOMPARE(run(all, &err), 0);
        if (!written.isEmpty())
            path = m_home.filePath(written);
        QVERIFY(QFileInfo(path).size() > 100);
        QCOMPARE(TestKit::ReadFile(path).left(magic.size()), magic);
        if (pngSize.isValid())
            QCOMPARE(QImageReader(path).size(), pngSize);
    }

    void refuses_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        const QString ex = CliRun::TestData(u"fixtures/microwave.kvf"_qs);
        QTest::newRow("no output") << QStringList{u"render"_qs, ex, u"R1"_qs} << 1 << u"-o OUT"_qs;
        QTest::newRow("unknown picture type")
            << QStringList{u"render"_qs, ex, u"R1"_qs, u"-o"_qs, u"x.gif"_qs} << 1 << u".png, .svg or .pdf"_qs;
        QTest::newRow("bad scale") << QStringList{u"render"_qs,  ex,      u"R1"_qs, u"-o"_qs, u"x.png"_qs,
                                                  u"--scale"_qs, u"-1"_qs}
                                   << 1 << u"--scale"_qs;
        QTest::newRow("no such tree") << QStringList{u"render"_qs, ex, u"Nope"_qs, u"-o"_qs, u"x.png"_qs} << 2
                                      << u"Nope"_qs;
        QTest::newRow("no such file") << QStringList{u"render"_qs, u"missing.kvf"_qs, u"R1"_qs, u"-o"_qs, u"x.png"_qs}
                                      << 2 << u"missing.kvf"_qs;
        // a picture larger than one PNG holds is refused with the size it needs
        QTest::newRow("too large for one picture")
            << QStringList{u"render"_qs, ex, u"R1"_qs, u"-o"_qs, u"x.png"_qs, u"--scale"_qs, u"200"_qs} << 2
            << u"44000 x 54000 pixels"_qs;
        QTest::newRow("tiles of an svg") << QStringList{u"render"_qs, ex,           u"R1"_qs,     u"-o"_qs,
                                                        u"x.svg"_qs,  u"--tile"_qs, u"100x100"_qs}
                                         << 1 << u"--tile"_qs;
        QTest::newRow("poster without size")
            << QStringList{u"render"_qs, ex, u"R1"_qs, u"-o"_qs, u"x.pdf"_qs, u"--poster"_qs, u"2"_qs} << 1
            << u"--poster"_qs;
        QTest::newRow("unwritable output")
            << QStringList{u"render"_qs, ex, u"R1"_qs, u"-o"_qs, u"/no/such/dir/x.png"_qs} << 2
            << u"/no/such/dir/x.png"_qs;
    }

    void refuses()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, says);
        QString err;
        QCOMPARE(run(args, &err), code);
        QVERIFY2(err.contains(says), qPrintable(err));
        QVERIFY(!QFile::exists(m_home.filePath(u"x.png"_qs)));
    }

private:
    int run(const QStringList &args, QString *err = nullptr)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"HOME"_qs, m_home.path());
        // a pipeline has no display: the command must not need one
        env.remove(u"DISPLAY"_qs);
        env.remove(u"WAYLAND_DISPLAY"_qs);
        env.remove(u"QT_QPA_PLATFORM"_qs);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(m_home.path());
        p.start(QStringLiteral(VERDANTIS_CLI), args);
        if (!p.waitForFinished(60000))
            return -1;
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    }

    QTemporaryDir m_home;
};

QTEST_MAIN(TestCliRender)
#include "tst_clirender.moc"
