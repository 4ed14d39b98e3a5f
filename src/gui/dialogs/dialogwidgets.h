#pragma once

#include <QString>

class QComboBox;
class QDialog;
class QDialogButtonBox;
class QWidget;

namespace DialogWidgets {

// The name of a behavior type (1 to 10), empty for any other.
QString BehaviorTypeName(int behaviorType);
// The types 1 to 10 as "symbol   name", each with its code as data.
void FillBehaviorTypes(QComboBox *combo);
// Selects the entry of a behavior type code; codes outside 1..10 select the first.
void SelectBehaviorType(QComboBox *combo, int behaviorType);
int SelectedBehaviorType(const QComboBox *combo);
// OK and Cancel wired to accept() and reject().
QDialogButtonBox *OkCancel(QDialog *dialog);
// Keeps a window within the available area of its screen (at most the
// given share of it), moving it back inside when it would reach out.
void FitToScreen(QWidget *window, double share = 0.9);
// The width a dialog needs to show its whole title beside the title
// bar's icon and buttons.
int TitleWidth(const QDialog &dialog);
// Gives a dialog at least that width and keeps it on the screen.
void FitDialog(QDialog &dialog);

} // namespace DialogWidgets
