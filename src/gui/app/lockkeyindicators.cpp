#include "lockkeyindicators.h"
#include "apptexts.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>

namespace {

QStringList ledFiles(const QString &suffix)
{
    QStringList files;
#ifdef Q_OS_LINUX
    const QDir leds(QStringLiteral("/sys/class/leds"));
    for (const QString &name : leds.entryList({QStringLiteral("*::") + suffix}, QDir::Dirs | QDir::NoDotAndDotDot))
        files.append(leds.filePath(name) + QStringLiteral("/brightness"));
#else
    Q_UNUSED(suffix)
#endif
    return files;
}

bool anyOn(const QStringList &files)
{
    for (const QString &path : files) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly) && f.readAll().trimmed().toInt() > 0)
            return true;
    }
    return false;
}

} // namespace

CLockKeyIndicators::CLockKeyIndicators(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const struct
    {
        const QString &text;
        const char *led;
    } keys[] = {{AppTexts::CapsLock, "capslock"}, {AppTexts::NumLock, "numlock"}, {AppTexts::ScrollLock, "scrolllock"}};
    for (const auto &k : keys) {
        Key key;
        key.label = new QLabel(k.text, this);
        key.label->setObjectName(QString::fromLatin1(k.led));
        key.label->setFrameShape(QFrame::Panel);
        key.label->setFrameShadow(QFrame::Sunken);
        key.label->setMinimumWidth(key.label->fontMetrics().horizontalAdvance(AppTexts::ScrollLock) + 8);
        key.label->setAlignment(Qt::AlignCenter);
        key.files = ledFiles(QString::fromLatin1(k.led));
        m_hasSource = m_hasSource || !key.files.isEmpty();
        layout->addWidget(key.label);
        m_keys.append(key);
    }
    setVisible(m_hasSource);
    if (m_hasSource) {
        connect(&m_timer, &QTimer::timeout, this, &CLockKeyIndicators::Refresh);
        m_timer.start(500);
        Refresh();
    }
}

void CLockKeyIndicators::Refresh()
{
    for (const Key &key : std::as_const(m_keys))
        key.label->setEnabled(!key.files.isEmpty() && anyOn(key.files));
}
