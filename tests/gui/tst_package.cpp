// The Debian package as a user gets it: built by scripts/package.sh (which
// fails on lintian errors and invalid AppStream data), unpacked into a
// scratch root, and its programs run from there on the installed example.
#include "clirunner.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QStandardPaths>
#include <QtTest>

using CliRun::RunProgram;
using Ran = CliRun::Result;

class TestPackage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid() && m_home.isValid());
        const Ran built = RunProgram(QStringLiteral(VERDANTIS_SOURCE_DIR "/scripts/package.sh"),
                                     {u"--no-build"_qs, QStringLiteral(VERDANTIS_BUILD_DIR)}, m_home.path(), 800000);
        QVERIFY2(built.exitCode == 0, qPrintable(built.err.right(4000)));
        m_deb = built.out.trimmed().split(u'\n').last();
        QVERIFY2(
            QFileInfo(m_deb).fileName().contains(QRegularExpression(u"^verdantis_\\d+\\.\\d+\\.\\d+_amd64\\.deb$"_qs)),
            qPrintable(m_deb));
        const Ran unpacked = RunProgram(u"dpkg-deb"_qs, {u"-x"_qs, m_deb, m_root.path()}, m_home.path());
        QVERIFY2(unpacked.exitCode == 0, qPrintable(unpacked.err));
    }

    // dpkg-shlibdeps found the Qt libraries the programs link, and the
    // plugin and the tool the maintainer scripts need are named by hand.
    void dependencies_data()
    {
        QTest::addColumn<QString>("package");
        QTest::newRow("widgets, from the programs") << u"libqt6widgets6"_qs;
        QTest::newRow("network, from the server") << u"libqt6network6"_qs;
        QTest::newRow("sqlite plugin of the server") << u"libqt6sql6-sqlite"_qs;
        QTest::newRow("adduser for the service user") << u"adduser"_qs;
    }
    void dependencies()
    {
        QFETCH(QString, package);
        const Ran depends = RunProgram(u"dpkg-deb"_qs, {u"-f"_qs, m_deb, u"Depends"_qs}, m_home.path());
        QCOMPARE(depends.exitCode, 0);
        QVERIFY2(depends.out.contains(package), qPrintable(depends.out));
    }

    void programsAnswerVersionAndHelp_data()
    {
        QTest::addColumn<QString>("program"); // below the root
        QTest::addColumn<QString>("name");
        QTest::newRow("desktop program") << u"usr/bin/verdantis"_qs << u"verdantis"_qs;
        QTest::newRow("command line") << u"usr/bin/verdantis-cli"_qs << u"verdantis-cli"_qs;
        QTest::newRow("server") << u"usr/bin/verdantis-server"_qs << u"verdantis-server"_qs;
        QTest::newRow("set parser") << u"usr/bin/verdantis-setparser"_qs << u"verdantis-setparser"_qs;
        QTest::newRow("behavior parser") << u"usr/bin/verdantis-behaviorparser"_qs << u"verdantis-behaviorparser"_qs;
        QTest::newRow("simulator") << u"usr/libexec/verdantis/zephsim"_qs << u"zephsim"_qs;
    }
    void programsAnswerVersionAndHelp()
    {
        QFETCH(QString, program);
        QFETCH(QString, name);
        const QString path = m_root.filePath(program);
        const Ran version = RunProgram(path, {u"--version"_qs}, m_home.path());
        QCOMPARE(version.exitCode, 0);
        QVERIFY2(QRegularExpression(u"^"_qs + QRegularExpression::escape(name) + u" \\d+\\.\\d+\\.\\d+\\n$"_qs)
                     .match(version.out)
                     .hasMatch(),
                 qPrintable(version.out + version.err));
        const Ran help = RunProgram(path, {u"--help"_qs}, m_home.path());
        QCOMPARE(help.exitCode, 0);
        // Qt's parser names the program as it was called, path included
        QVERIFY2(QRegularExpression(u"^Usage: (\\S*/)?"_qs + QRegularExpression::escape(name) + u" "_qs)
                     .match(help.out)
                     .hasMatch(),
                 qPrintable(help.out));
        QVERIFY2(help.out.contains(u"-v, --version"_qs), qPrintable(help.out));
    }

    // Installed files a desktop looks for; the icons at the size their
    // folder promises.
    void desktopFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("size"); // of a PNG icon, else 0
        QTest::newRow("desktop entry") << u"usr/share/applications/verdantis.desktop"_qs << 0;
        QTest::newRow("mime type") << u"usr/share/mime/packages/verdantis.xml"_qs << 0;
        QTest::newRow("appstream") << u"usr/share/metainfo/io.github.verdantis.Verdantis.metainfo.xml"_qs << 0;
        QTest::newRow("service") << u"lib/systemd/system/verdantis-server.service"_qs << 0;
        QTest::newRow("completion") << u"usr/share/bash-completion/completions/verdantis-cli"_qs << 0;
        QTest::newRow("guide") << u"usr/share/verdantis/guide/index.html"_qs << 0;
        QTest::newRow("example") << u"usr/share/doc/verdantis/examples/door.kvf"_qs << 0;
        for (const char *page : {"verdantis", "verdantis-cli", "verdantis-server"})
            QTest::newRow(page) << u"usr/share/man/man1/"_qs + QLatin1String(page) + u".1.gz"_qs << 0;
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
            const QString folder = u"usr/share/icons/hicolor/%1x%1/"_qs.arg(size);
            QTest::newRow(qPrintable(u"app icon %1"_qs.arg(size))) << folder + u"apps/verdantis.png"_qs << size;
            QTest::newRow(qPrintable(u"file icon %1"_qs.arg(size)))
                << folder + u"mimetypes/application-x-verdantis-solution.png"_qs << size;
        }
    }
    void desktopFiles()
    {
        QFETCH(QString, path);
        QFETCH(int, size);
        const QFileInfo file(m_root.filePath(path));
        QVERIFY2(file.isFile() && file.size() > 0, qPrintable(path));
        if (size) {
            const QImage icon(file.filePath());
            QCOMPARE(icon.size(), QSize(size, size));
        }
    }

    // The packaged command line on the packaged example: it finds the tools
    // installed beside it and draws without a display.
    void commandsOnTheExample_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("shown"); // in standard output
        QTest::newRow("show") << QStringList{u"show"_qs, u"@door"_qs} << u"Automatic Door"_qs;
        QTest::newRow("derive cbt") << QStringList{u"derive"_qs, u"cbt"_qs, u"@door"_qs, u"Door"_qs, u"TIMER"_qs}
                                    << u"TIMER"_qs;
        QTest::newRow("translate sal") << QStringList{u"translate"_qs, u"sal"_qs, u"@door"_qs, u"Door"_qs}
                                       << u"CONTEXT"_qs;
        QTest::newRow("translate xml with the installed parser")
            << QStringList{u"translate"_qs, u"xml"_qs, u"@door"_qs, u"Door"_qs} << u"<"_qs;
        QTest::newRow("verify the Door IBT")
            << QStringList{u"verify"_qs, u"@door"_qs, u"Door"_qs} << u"deadlock: none"_qs;
    }
    void commandsOnTheExample()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, shown);
        if (args.first() == u"verify"
            && (QStandardPaths::findExecutable(u"spin"_qs).isEmpty()
                || QStandardPaths::findExecutable(u"gcc"_qs).isEmpty()))
            QSKIP("verify needs spin and gcc, installed by scripts/setup-deps.sh");
        args.replaceInStrings(u"@door"_qs, m_root.filePath(u"usr/share/doc/verdantis/examples/door.kvf"_qs));
        const Ran r = RunProgram(m_root.filePath(u"usr/bin/verdantis-cli"_qs), args, m_home.path());
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(shown), qPrintable(r.out.left(2000)));
    }

    void renderDrawsThePicture()
    {
        const QString png = m_home.filePath(u"door.png"_qs);
        const Ran r = RunProgram(
            m_root.filePath(u"usr/bin/verdantis-cli"_qs),
            {u"render"_qs, m_root.filePath(u"usr/share/doc/verdantis/examples/door.kvf"_qs), u"Door"_qs, u"-o"_qs, png},
            m_home.path());
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        const QImage picture(png);
        QVERIFY(picture.width() > 200 && picture.height() > 200);
    }

private:
    QTemporaryDir m_root;
    QTemporaryDir m_home;
    QString m_deb;
};

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
