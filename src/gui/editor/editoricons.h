#pragma once

#include <QIcon>
#include <QString>

// Icons of the tree commands, drawn in code so they need no artwork files:
// "Add Node", "Add Link", "Arrange Tree", "Auto Arrange Tree". Other texts
// give no icon.
QIcon EditorIcon(const QString &command);
