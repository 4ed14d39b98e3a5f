#pragma once

#include <QtGlobal>

#include <algorithm>
#include <climits>

// Grid arithmetic of the derived diagrams, whose coordinates are computed in
// 64 bits and stored in int.
inline int SaturateToInt(qint64 v)
{
    return int(std::clamp<qint64>(v, INT_MIN, INT_MAX));
}

// Rows and columns below the grid's origin still get the right cell.
inline int FloorDivToInt(qint64 a, int b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return SaturateToInt(q);
}
