#pragma once

// Shared helpers of the translation tests: trees from sketches, golden texts,
// the shipped parsers.

#include "treesketch.h"

#include "translate/translateexception.h"
#include "translate/translatesalmain.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace TranslateTest {

inline QString DataPath(const QString &name)
{
    return QStringLiteral(VERDANTIS_TEST_DATA "/translate/") + name;
}

// The UPPAAL document type beside the repository; a worktree elsewhere
// names its folder in VERDANTIS_REFS.
inline QString ReferenceDtd()
{
    const QString refs = qEnvironmentVariableIsSet("VERDANTIS_REFS") ? qEnvironmentVariable("VERDANTIS_REFS")
                                                                     : QStringLiteral(VERDANTIS_REFS);
    return refs + QStringLiteral("/uppaal/flat-1_1.dtd");
}

inline QString ReadText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Compares with a golden file. VERDANTIS_UPDATE_GOLDEN=1 rewrites the file
// instead, for a change that is meant; read the difference before keeping it.
inline bool MatchesGolden(const QString &actual, const QString &name)
{
    const QString path = DataPath(name);
    if (qEnvironmentVariableIntValue("VERDANTIS_UPDATE_GOLDEN")) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write(actual.toUtf8());
        return true;
    }
    const QString expected = ReadText(path);
    if (expected == actual)
        return true;
    // show the first line that differs
    const QStringList a = actual.split(QStringLiteral("\r\n"));
    const QStringList e = expected.split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < std::max(a.size(), e.size()); ++i) {
        if (a.value(i) != e.value(i)) {
            qWarning("%s line %lld:\n  actual:   %s\n  expected: %s", qPrintable(name), qlonglong(i + 1),
                     qPrintable(a.value(i)), qPrintable(e.value(i)));
            break;
        }
    }
    return false;
}

// Settings that use the shipped parsers and a scratch folder of the test's own.
inline CTranslateSettings Settings(const QString &scratch, int mode = 1, bool failureViews = false)
{
    CTranslateSettings s;
    s.messageMode = mode;
    s.useFailureViews = failureViews;
    s.displayTime = false;
    s.scratchFolder = scratch;
    s.setParserCommand = QStringLiteral("'" VERDANTIS_SET_PARSER "' {in} {out}");
    s.behaviorParserCommand = QStringLiteral("'" VERDANTIS_BEHAVIOR_PARSER "' {in} {out}");
    return s;
}

// The text of a translation, or "Parsing error: ..." when it fails.
inline QString Translate(CTranslateSALMain &translator, const QString &sketch, bool sets = false,
                         const CTranslateSetFiles &files = {})
{
    CKELDataManager m;
    const CKELTree *tree = TreeSketch::AddTree(m, sketch);
    try {
        return translator.Translate(m, tree->GetId(), sets, files)->text;
    } catch (const CTranslateException &e) {
        return e.Message();
    }
}

} // namespace TranslateTest
