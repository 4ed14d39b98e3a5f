#include "simulatortrust.h"
#include "simulatetexts.h"

#include "model/prompt.h"

#include <QSettings>
#include <QStringList>

namespace {

const QString kConfirmed = QStringLiteral("Simulation/ConfirmedSimulators");
const QString kRefused = QStringLiteral("Simulation/RefusedSimulators");

void remember(const QString &path, bool run)
{
    QSettings settings;
    QStringList confirmed = settings.value(kConfirmed).toStringList();
    QStringList refused = settings.value(kRefused).toStringList();
    confirmed.removeAll(path);
    refused.removeAll(path);
    (run ? confirmed : refused).append(path);
    settings.setValue(kConfirmed, confirmed);
    settings.setValue(kRefused, refused);
}

} // namespace

namespace SimulatorTrust {

void Confirm(const QString &path)
{
    if (!path.isEmpty() && !QSettings().value(kConfirmed).toStringList().contains(path))
        remember(path, true);
}

bool MayRun(const QString &path, CPrompt &prompt)
{
    const QSettings settings;
    if (settings.value(kConfirmed).toStringList().contains(path))
        return true;
    if (settings.value(kRefused).toStringList().contains(path)) {
        prompt.Message(SimulateTexts::RefusedSimulator(path));
        return false;
    }
    const bool run = prompt.YesNo(SimulateTexts::RunSimulator(path));
    remember(path, run);
    return run;
}

} // namespace SimulatorTrust
