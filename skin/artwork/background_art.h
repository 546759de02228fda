#pragma once

#include <QImage>
#include <QList>
#include <QRect>

// Paints the main window's 660 x 480 background around the places where the
// window puts its lists, progress bar, status line and buttons.
QImage paintBackground();

// Where the main window puts its two lists; the picture frames them.
inline constexpr QRect cCardList(24, 87, 287, 225);
inline constexpr QRect cFileList(353, 88, 287, 225);

// Where the art writes words. Only these pixels depend on the fonts of the
// machine that draws the picture, so a drawing made elsewhere is compared
// with the committed one everywhere but here.
inline constexpr QRect cTitleText(44, 0, 400, 38);
// The label on a list's panel, beside its emblem.
constexpr QRect listLabelText(const QRect& list)
{
    return {list.left() + 28, list.top() - 28, 200, 22};
}
inline QList<QRect> backgroundTextAreas()
{
    return {cTitleText, listLabelText(cCardList), listLabelText(cFileList)};
}
