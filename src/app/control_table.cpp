#include "app/control_table.h"

PixelRect pixelsOf(const CellRect& r, int charWidth, int lineHeight)
{
    return {cellPixels(r.x, charWidth), cellPixels(r.y, lineHeight), cellPixels(r.width, charWidth),
            cellPixels(r.height, lineHeight)};
}
