#include "dialogwidgets.h"

#include "model/keltypes.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>

namespace DialogWidgets {

void FillBehaviorTypes(QComboBox *combo)
{
    for (int code = 1; code <= KEL::BehaviorTypeCount; ++code)
        combo->addItem(KEL::BehaviorTypeDisplay(code), code);
}

void SelectBehaviorType(QComboBox *combo, int behaviorType)
{
    const int index = combo->findData(behaviorType);
    combo->setCurrentIndex(index >= 0 ? index : 0);
}

int SelectedBehaviorType(const QComboBox *combo)
{
    const QVariant code = combo->currentData();
    return code.isValid() ? code.toInt() : KEL::StateRealisation;
}

QDialogButtonBox *OkCancel(QDialog *dialog)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->setObjectName(QStringLiteral("buttons"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace DialogWidgets
