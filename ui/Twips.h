#pragma once

#include "FieldLayout.h"

#include <QRect>

namespace tallyglass {

// The window was drawn in twips; at 96 dots per inch a pixel is 15 of them. Positions that do
// not fall on a whole pixel go to the nearest one, so neighbouring controls keep their gaps.
inline constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

inline QRect PxRect(int left, int top, int width, int height)
{
    return {Px(left), Px(top), Px(width), Px(height)};
}

inline QRect PxRect(const Rect& twips)
{
    return PxRect(twips.left, twips.top, twips.width, twips.height);
}

} // namespace tallyglass
