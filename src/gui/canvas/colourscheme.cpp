#include "colourscheme.h"

#include <QPalette>
#include <QSettings>

#include <cmath>

namespace ColourScheme {

namespace {

const QString kKey = QStringLiteral("appearance/colourScheme");

// Read once, then kept: the settings are not asked on every repaint.
Scheme &cached()
{
    static Scheme scheme = QSettings().value(kKey).toString() == u"Modern" ? Scheme::Modern : Scheme::Classic;
    return scheme;
}

double channel(double c)
{
    c /= 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &c)
{
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

} // namespace

Scheme Current()
{
    return cached();
}

void SetCurrent(Scheme scheme)
{
    if (cached() == scheme)
        return;
    cached() = scheme;
    QSettings().setValue(kKey, Name(scheme));
    emit Notifier().changed();
}

QString Name(Scheme scheme)
{
    return scheme == Scheme::Modern ? QStringLiteral("Modern") : QStringLiteral("Classic");
}

CNotifier &Notifier()
{
    static CNotifier notifier;
    return notifier;
}

const NodeColours &Nodes(Scheme scheme)
{
    // the notation's own colours
    static const NodeColours classic{QColor(0xBB, 0xE0, 0xE3),
                                     QColor(0, 255, 0),
                                     QColor(255, 255, 0),
                                     QColor(255, 0, 0),
                                     QColor(0xD2, 0xD2, 0xD2),
                                     QColor(255, 255, 255),
                                     QColor(255, 160, 0),
                                     QColor(180, 130, 255),
                                     QColor(Qt::black),
                                     {QColor(0, 0, 255), QColor(255, 0, 0), QColor(255, 0, 255)},
                                     0};
    // softer fills that keep black text above 4.5:1, with marks and steps in
    // hues no fill has
    static const NodeColours modern{QColor(0xE8, 0xE4, 0xD0),
                                    QColor(0xB7, 0xE4, 0xB0),
                                    QColor(0xF3, 0xE9, 0xA0),
                                    QColor(0xF4, 0xB4, 0xB0),
                                    QColor(0xDD, 0xDF, 0xE3),
                                    QColor(0xFA, 0xFA, 0xFA),
                                    QColor(0xFF, 0x9E, 0x1B),
                                    QColor(0xB9, 0x9A, 0xF5),
                                    QColor(0x1D, 0x1D, 0x1F),
                                    {QColor(0x1F, 0x5F, 0xD6), QColor(0xC6, 0x28, 0x28), QColor(0xB0, 0x1E, 0xA8)},
                                    6};
    return scheme == Scheme::Modern ? modern : classic;
}

bool IsDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

CanvasColours LightCanvas()
{
    return {QColor(0x9A, 0x9A, 0x9A), QColor(Qt::white), QColor(0xB8, 0xC8, 0xD8), QColor(Qt::black),
            QColor(0, 90, 255)};
}

CanvasColours Canvas(const QPalette &palette)
{
    if (!IsDark(palette))
        return LightCanvas();
    // a dark page with light links; the boxes keep their light fills and dark text
    return {QColor(0x1B, 0x1C, 0x1F), QColor(0x2B, 0x2D, 0x31), QColor(0x4F, 0x63, 0x78), QColor(0xE4, 0xE6, 0xEB),
            QColor(0x6C, 0xA6, 0xFF)};
}

double ContrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace ColourScheme
