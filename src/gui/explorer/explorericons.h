#pragma once

#include <QIcon>

// Our own pictures for the explorer's image indexes: one distinct icon per
// element kind, 20 pixels wide like the items they stand beside.
namespace ExplorerIcons {

QIcon Icon(int imageIndex);
// The same picture with a small plus, for the commands that make one.
QIcon NewIcon(int imageIndex);

} // namespace ExplorerIcons
