#pragma once

#include <QPixmap>

// The picture shown while the program starts: our own drawing of a small
// behavior tree under the product name.
QPixmap SplashPicture();
