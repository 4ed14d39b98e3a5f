#pragma once

#include <QColor>
#include <QObject>

class QPalette;

// How the canvas looks: the node colours of a scheme the user picks (View >
// Colour Scheme, kept per user) and the canvas colours that follow the
// desktop's light or dark palette. "Classic" keeps the notation's own
// colours; exports draw the boxes as the window shows them, on a light page.
namespace ColourScheme {

enum class Scheme { Classic, Modern };

Scheme Current();
// Keeps the choice in the user's settings and tells every open window.
void SetCurrent(Scheme scheme);
QString Name(Scheme scheme); // "Classic", "Modern"

// Tells when the scheme changed.
class CNotifier : public QObject
{
    Q_OBJECT
signals:
    void changed();
};
CNotifier &Notifier();

struct NodeColours
{
    QColor plain;       // a node of no particular state
    QColor implemented; // in the requirements
    QColor implied;
    QColor missing;
    QColor evolution; // absent from a version
    QColor ready;     // reached by a simulation
    QColor currentStep;
    QColor earlierStep;
    QColor text;
    QColor marks[3]; // integration point, missing precondition, matching node
    int cornerRadius = 0;
};
const NodeColours &Nodes(Scheme scheme);

struct CanvasColours
{
    QColor outside; // around the pages
    QColor page;
    QColor grid; // page boundaries
    QColor link;
    QColor selection;
};
bool IsDark(const QPalette &palette);
// The window's canvas under palette; exports use the light one.
CanvasColours Canvas(const QPalette &palette);
CanvasColours LightCanvas();

// The contrast of two colours as the web's accessibility guidelines count
// it, from 1 (the same) to 21 (black on white).
double ContrastRatio(const QColor &a, const QColor &b);

} // namespace ColourScheme
