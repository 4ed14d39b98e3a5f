#include "translatesettings.h"

#include <QSettings>

int CTranslateSettings::ValidMessageMode(int mode)
{
    return mode == PrioritiseInternal || mode == NoBuffering ? mode : NoMessageBlocking;
}

void CTranslateSettings::ReadFrom(QSettings &settings)
{
    const CTranslateSettings d;
    settings.beginGroup(QStringLiteral("Translate"));
    messageMode = ValidMessageMode(settings.value(QStringLiteral("MessageMode"), d.messageMode).toInt());
    useRandomTree = settings.value(QStringLiteral("RandomTree"), d.useRandomTree).toBool();
    useFailureViews = settings.value(QStringLiteral("FailureViews"), d.useFailureViews).toBool();
    displayTime = settings.value(QStringLiteral("DisplayTime"), d.displayTime).toBool();
    iterations = settings.value(QStringLiteral("Iterations"), d.iterations).toString();
    scratchFolder = settings.value(QStringLiteral("ScratchFolder")).toString();
    setParserCommand = settings.value(QStringLiteral("SetParserCommand")).toString();
    behaviorParserCommand = settings.value(QStringLiteral("BehaviorParserCommand")).toString();
    settings.endGroup();
}

void CTranslateSettings::WriteTo(QSettings &settings) const
{
    settings.beginGroup(QStringLiteral("Translate"));
    settings.setValue(QStringLiteral("MessageMode"), messageMode);
    settings.setValue(QStringLiteral("RandomTree"), useRandomTree);
    settings.setValue(QStringLiteral("FailureViews"), useFailureViews);
    settings.setValue(QStringLiteral("DisplayTime"), displayTime);
    settings.setValue(QStringLiteral("Iterations"), iterations);
    settings.setValue(QStringLiteral("ScratchFolder"), scratchFolder);
    settings.setValue(QStringLiteral("SetParserCommand"), setParserCommand);
    settings.setValue(QStringLiteral("BehaviorParserCommand"), behaviorParserCommand);
    settings.endGroup();
}
