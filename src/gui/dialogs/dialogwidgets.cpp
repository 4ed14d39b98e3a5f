#include "dialogwidgets.h"
#include "dialogtexts.h"

#include "model/keltypes.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

namespace DialogWidgets {

QString BehaviorTypeName(int behaviorType)
{
    static const QStringList names{DialogTexts::StateRealisation,
                                   DialogTexts::Selection,
                                   DialogTexts::Event,
                                   DialogTexts::Guard,
                                   DialogTexts::ExternalInput,
                                   DialogTexts::ExternalOutput,
                                   DialogTexts::InternalInput,
                                   DialogTexts::InternalOutput,
                                   DialogTexts::SetAll,
                                   DialogTexts::SetAny};
    return names.value(behaviorType - 1);
}

void FillBehaviorTypes(QComboBox *combo)
{
    // the symbol alone says little to a new user: its name goes beside it
    for (int code = 1; code <= KEL::BehaviorTypeCount; ++code)
        combo->addItem(DialogTexts::BehaviorTypeEntry(KEL::BehaviorTypeDisplay(code), BehaviorTypeName(code)), code);
}

void SelectBehaviorType(QComboBox *combo, int behaviorType)
{
    // a code read from a file may lie outside the list; it gets an entry of
    // its own so that OK keeps it unless the user picks another
    for (int i = combo->count() - 1; i >= 0; --i) {
        const int code = combo->itemData(i).toInt();
        if (code < 1 || code > KEL::BehaviorTypeCount)
            combo->removeItem(i);
    }
    int index = combo->findData(behaviorType);
    if (index < 0) {
        combo->addItem(DialogTexts::OtherBehaviorType(KEL::BehaviorTypeDisplay(behaviorType), behaviorType),
                       behaviorType);
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
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

void FitToScreen(QWidget *window, double share)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize most(int(area.width() * share), int(area.height() * share));
    const QSize size = window->size().boundedTo(most).expandedTo(window->minimumSize().boundedTo(most));
    if (size != window->size())
        window->resize(size);
    if (window->isVisible() && !area.contains(window->frameGeometry())) {
        const QPoint at(
            std::clamp(window->x(), area.left(), std::max(area.left(), area.right() - window->frameGeometry().width())),
            std::clamp(window->y(), area.top(),
                       std::max(area.top(), area.bottom() - window->frameGeometry().height())));
        window->move(at);
    }
}

int TitleWidth(const QDialog &dialog)
{
    // title bars use a bold face, a little larger than the dialog's; the
    // window manager adds an icon and up to three buttons
    QFont font = dialog.font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.1);
    return QFontMetrics(font).horizontalAdvance(dialog.windowTitle()) + 140;
}

void FitDialog(QDialog &dialog)
{
    dialog.setMinimumWidth(std::max(dialog.minimumWidth(), TitleWidth(dialog)));
    if (dialog.width() < dialog.minimumWidth())
        dialog.resize(dialog.minimumWidth(), dialog.height());
    FitToScreen(&dialog);
}

} // namespace DialogWidgets
