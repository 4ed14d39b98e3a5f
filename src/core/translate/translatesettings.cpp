#include "translatesettings.h"

#include <QSettings>

#include <limits>

int CTranslateSettings::ValidMessageMode(int mode)
{
    return mode == PrioritiseInternal || mode == NoBuffering ? mode : NoMessageBlocking;
}

bool CTranslateSettings::ParseIntRange(const QString &text, qint64 &low, qint64 &high)
{
    const qsizetype dots = text.indexOf(QStringLiteral(".."));
    if (dots < 0)
        return false;
    bool okLow = false, okHigh = false;
    const qint64 l = text.left(dots).trimmed().toLongLong(&okLow);
    const qint64 h = text.mid(dots + 2).trimmed().toLongLong(&okHigh);
    const auto fits = [](qint64 v) {
        return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
    };
    if (!okLow || !okHigh || !fits(l) || !fits(h) || l > h)
        return false;
    low = l;
    high = h;
    return true;
}

QString CTranslateSettings::IntRangeText() const
{
    return QString::number(intLow) + QStringLiteral("..") + QString::number(intHigh);
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
    if (!ParseIntRange(settings.value(QStringLiteral("IntRange"), d.IntRangeText()).toString(), intLow, intHigh)) {
        intLow = d.intLow;
        intHigh = d.intHigh;
    }
    properties = settings.value(QStringLiteral("Properties"), d.properties).toBool();
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
    settings.setValue(QStringLiteral("IntRange"), IntRangeText());
    settings.setValue(QStringLiteral("Properties"), properties);
    settings.setValue(QStringLiteral("ScratchFolder"), scratchFolder);
    settings.setValue(QStringLiteral("SetParserCommand"), setParserCommand);
    settings.setValue(QStringLiteral("BehaviorParserCommand"), behaviorParserCommand);
    settings.endGroup();
}
