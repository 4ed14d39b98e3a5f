// Operation records from the server, applied to a loaded solution one line
// at a time: the model stays consistent after each, and what results still
// saves and loads to the same text.
#include "fuzztarget.h"

#include "model/keldatamanager.h"
#include "model/solutionfile.h"

#include <QFile>

namespace {

const QString &baseText()
{
    static const QString text = [] {
        QFile file(QStringLiteral(VERDANTIS_FUZZ_BASE_SOLUTION));
        if (!file.open(QIODevice::ReadOnly))
            Fuzz::Fail("cannot read the base solution", file.fileName());
        CKELDataManager manager;
        QString error;
        if (!CSolutionFile::Read(manager, file.fileName(), &error))
            Fuzz::Fail("base solution does not load", error);
        return manager.BuildSolutionText();
    }();
    return text;
}

} // namespace

VERDANTIS_FUZZ_TARGET(apply)
{
    Fuzz::Setup();
    CKELDataManager manager;
    QString error;
    Fuzz::Check(manager.LoadSolutionText(baseText(), &error), "base text does not load", error);

    const QString input = QString::fromUtf8(QByteArrayView(data, qsizetype(size)));
    bool changed = false;
    for (QStringView line : QStringView(input).split(u'\n')) {
        changed = manager.ApplyOperationRecord(line.toString()) || changed;
        Fuzz::CheckModel(manager);
    }
    if (!changed)
        return 0;
    const QString first = manager.BuildSolutionText();
    CKELDataManager again;
    Fuzz::Check(again.LoadSolutionText(first, &error), "edited solution does not load", error);
    Fuzz::Check(again.BuildSolutionText() == first, "edited solution changes when loaded again");
    return 0;
}
