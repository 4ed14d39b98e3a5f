#pragma once

#include <QString>

class QComboBox;
class QDialog;
class QDialogButtonBox;

namespace DialogWidgets {

// The ten behavior types as their brackets around "...", with the code as item data.
void FillBehaviorTypes(QComboBox *combo);
// Selects the entry of a behavior type code; codes outside 1..10 select the first.
void SelectBehaviorType(QComboBox *combo, int behaviorType);
int SelectedBehaviorType(const QComboBox *combo);
// OK and Cancel wired to accept() and reject().
QDialogButtonBox *OkCancel(QDialog *dialog);

} // namespace DialogWidgets
