#include "app/screen_fit.h"

#include <algorithm>

namespace {

int roundedRatio(int value, int numerator, int denominator)
{
    return (2 * value * numerator + denominator) / (2 * denominator);
}

int ceilingRatio(int value, int numerator, int denominator)
{
    return (value * numerator + denominator - 1) / denominator;
}

int ceilingPercent(int value, int percent) { return ceilingRatio(value, percent, 100); }

// value * numerator / denominator, towards zero, keeping the sign and never
// reaching 0 from a non-zero value.
int shrink(int value, int numerator, int denominator)
{
    if (value == 0 || denominator <= 0)
        return value;
    const int magnitude = std::max(1, (value < 0 ? -value : value) * numerator / denominator);
    return value < 0 ? -magnitude : magnitude;
}

// The largest unit length whose window, frame included, is no longer than
// `work`.
int largestFitting(int normal, int cells, int frame, int work)
{
    const int inside = cells * normal - frame;
    if (inside <= 0)
        return normal;
    return std::min(normal, std::max(0, (work - frame) * normal / inside));
}

} // namespace

ScreenFit outerWindowSize(LayoutUnit normal, LayoutUnit unit, CellSize cells, FrameSize frame)
{
    const int width = frame.width + ceilingRatio(cells.columns * normal.charWidth - frame.width, unit.charWidth,
                                                 normal.charWidth);
    const int height = frame.height + ceilingRatio(cells.rows * normal.lineHeight - frame.height, unit.lineHeight,
                                                   normal.lineHeight);
    return {unit, width, height, false};
}

ScreenFit fitLayoutUnit(LayoutUnit normal, CellSize cells, FrameSize frame, int workWidth, int workHeight)
{
    const ScreenFit atNormal = outerWindowSize(normal, normal, cells, frame);
    if ((atNormal.width <= workWidth && atNormal.height <= workHeight) || cells.columns <= 0 || cells.rows <= 0 ||
        workWidth <= 0 || workHeight <= 0 || normal.charWidth <= 0 || normal.lineHeight <= 0)
        return atNormal;

    const int widestChar = largestFitting(normal.charWidth, cells.columns, frame.width, workWidth);
    const int tallestLine = largestFitting(normal.lineHeight, cells.rows, frame.height, workHeight);
    LayoutUnit unit;
    if (tallestLine * normal.charWidth <= widestChar * normal.lineHeight) {
        unit.lineHeight = tallestLine;
        unit.charWidth = std::min(widestChar, roundedRatio(normal.charWidth, tallestLine, normal.lineHeight));
    } else {
        unit.charWidth = widestChar;
        unit.lineHeight = std::min(tallestLine, roundedRatio(normal.lineHeight, widestChar, normal.charWidth));
    }

    const LayoutUnit floor = {ceilingPercent(normal.charWidth, smallestScalePercent),
                              ceilingPercent(normal.lineHeight, smallestScalePercent)};
    if (unit.charWidth >= floor.charWidth && unit.lineHeight >= floor.lineHeight)
        return outerWindowSize(normal, unit, cells, frame);
    ScreenFit fit = outerWindowSize(normal, floor, cells, frame);
    fit.scrolls = fit.width > workWidth || fit.height > workHeight;
    return fit;
}

int scaledFontHeight(int height, LayoutUnit unit, LayoutUnit normal)
{
    return shrink(height, unit.lineHeight, normal.lineHeight);
}

int scaledFontWidth(int width, LayoutUnit unit, LayoutUnit normal)
{
    return shrink(width, unit.charWidth, normal.charWidth);
}

int scaledProportionalFontHeight(int height, LayoutUnit unit, LayoutUnit normal)
{
    // The smaller ratio, compared without division.
    if (unit.charWidth * normal.lineHeight < unit.lineHeight * normal.charWidth)
        return shrink(height, unit.charWidth, normal.charWidth);
    return shrink(height, unit.lineHeight, normal.lineHeight);
}

int scaledPixels(int pixelsAt96, int dpi, LayoutUnit unit, LayoutUnit normal)
{
    const int atDpi = shrink(pixelsAt96, dpi, 96);
    return scaledProportionalFontHeight(atDpi, unit, normal);
}

PixelRect keepInWorkArea(PixelRect window, PixelRect work)
{
    if (window.x + window.width > work.x + work.width)
        window.x = work.x + work.width - window.width;
    if (window.y + window.height > work.y + work.height)
        window.y = work.y + work.height - window.height;
    window.x = std::max(window.x, work.x);
    window.y = std::max(window.y, work.y);
    return window;
}

PixelRect placeInWorkArea(int width, int height, PixelRect monitor, PixelRect work)
{
    const PixelRect centred = {monitor.x + (monitor.width - width) / 2, monitor.y + (monitor.height - height) / 2,
                               width, height};
    return keepInWorkArea(centred, work);
}
