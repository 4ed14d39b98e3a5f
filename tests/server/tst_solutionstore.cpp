#include "solutionstore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The server's store on its own: which saves history keeps, how records
// sit beside the current text, and who may read the files.
class TestSolutionStore : public QObject
{
    Q_OBJECT
private slots:
    void historyToDrop_data();
    void historyToDrop();
    void recordsFollowTheText();
    void filesAreTheServersOwn();
};

// Saves written as "id@hours ago"; the rule drops the listed ids.
void TestSolutionStore::historyToDrop_data()
{
    QTest::addColumn<int>("keep");
    QTest::addColumn<QStringList>("saves");
    QTest::addColumn<QList<qint64>>("dropped");
    QTest::newRow("newest three of five")
        << 3 << QStringList{u"1@50"_qs, u"2@40"_qs, u"3@30"_qs, u"4@2"_qs, u"5@1"_qs} << QList<qint64>{2, 1};
    QTest::newRow("fewer than kept") << 10 << QStringList{u"1@5000"_qs, u"2@1"_qs} << QList<qint64>{};
    QTest::newRow("the last week whole") << 0 << QStringList{u"1@160"_qs, u"2@100"_qs, u"3@99"_qs, u"4@1"_qs, u"5@0"_qs}
                                         << QList<qint64>{};
    // 10 days ago at 02:00, 06:00 and 10:00 (now is 12:00): the newest stays
    QTest::newRow("one a day after a week")
        << 0 << QStringList{u"1@250"_qs, u"2@246"_qs, u"3@242"_qs, u"4@1"_qs} << QList<qint64>{2, 1};
    QTest::newRow("nothing older than 90 days")
        << 0 << QStringList{u"1@4800"_qs, u"2@2400"_qs, u"3@2100"_qs, u"4@1"_qs} << QList<qint64>{2, 1};
    QTest::newRow("the newest save stays however old")
        << 0 << QStringList{u"1@3200"_qs, u"2@3000"_qs} << QList<qint64>{1};
}

void TestSolutionStore::historyToDrop()
{
    QFETCH(int, keep);
    QFETCH(QStringList, saves);
    QFETCH(QList<qint64>, dropped);
    const QDateTime now(QDate(2026, 12, 7), QTime(12, 0), Qt::UTC);
    QList<CHistoryEntry> entries;
    for (const QString &s : saves) {
        const QStringList parts = s.split(u'@');
        entries.append({parts[0].toLongLong(), now.addSecs(-3600 * parts[1].toLongLong()), u"ann"_qs, 10});
    }
    QCOMPARE(CSolutionStore::HistoryToDrop(entries, keep, now), dropped);
}

// A solution is its text plus the records stored after it; storing a new
// text takes the records it holds away, in one step.
void TestSolutionStore::recordsFollowTheText()
{
    QTemporaryDir dir;
    CSolutionStore store(dir.path());
    QVERIFY(store.Open());
    QVERIFY(store.Save(u"a"_qs, u"text 1"_qs, u"ann"_qs));
    QVERIFY(store.AppendRecords({{u"a"_qs, u"r1"_qs}, {u"b"_qs, u"x"_qs}, {u"a"_qs, u"r2"_qs}}));
    QCOMPARE(store.Records(u"a"_qs), (QStringList{u"r1"_qs, u"r2"_qs}));
    QVERIFY(store.Store(u"a"_qs, u"text 2"_qs));
    QCOMPARE(store.Records(u"a"_qs), QStringList{});
    QCOMPARE(store.Records(u"b"_qs), QStringList{u"x"_qs});
    QCOMPARE(store.Load(u"a"_qs).value_or(QString()), u"text 2"_qs);
    // the first saver owns it; a later one does not take it over
    QVERIFY(store.Save(u"a"_qs, u"text 3"_qs, u"bob"_qs));
    QCOMPARE(store.Owner(u"a"_qs), u"ann"_qs);
    QVERIFY(!store.IsMember(u"a"_qs, u"bob"_qs));
}

void TestSolutionStore::filesAreTheServersOwn()
{
    QTemporaryDir dir;
    const QString data = dir.filePath(u"data"_qs);
    CSolutionStore store(data);
    QVERIFY(store.Open());
    QVERIFY(store.Save(u"a"_qs, u"text"_qs, u"ann"_qs));
    const auto others =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFile::permissions(data) & others, QFile::Permissions());
    QCOMPARE(QFile::permissions(store.FilePath()) & others, QFile::Permissions());
    QVERIFY(QFile::permissions(store.FilePath()) & QFile::WriteOwner);
}

QTEST_GUILESS_MAIN(TestSolutionStore)
#include "tst_solutionstore.moc"
