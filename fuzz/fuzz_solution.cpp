// Solution files: whatever loads leaves a consistent model, and what it
// saves loads again to the very same text.
#include "fuzztarget.h"

#include "model/keldatamanager.h"
#include "model/solutionloader.h"

VERDANTIS_FUZZ_TARGET(solution)
{
    Fuzz::Setup();
    CKELDataManager manager;
    {
        CSolutionLoader loader(manager);
        const QByteArrayView bytes(data, qsizetype(size));
        qsizetype start = 0;
        while (start < bytes.size()) {
            qsizetype nl = bytes.indexOf('\n', start);
            if (nl < 0)
                nl = bytes.size();
            loader.AddLine(bytes.sliced(start, nl - start));
            start = nl + 1;
        }
        QString error;
        if (!loader.Finish(&error))
            return 0;
    }
    Fuzz::CheckModel(manager);
    const QString first = manager.BuildSolutionText();

    CKELDataManager again;
    QString error;
    Fuzz::Check(again.LoadSolutionText(first, &error), "saved solution does not load", error);
    Fuzz::CheckModel(again);
    const QString second = again.BuildSolutionText();
    Fuzz::Check(first == second, "second save differs from the first", first + QStringLiteral("\n----\n") + second);
    return 0;
}
