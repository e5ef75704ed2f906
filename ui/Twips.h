#pragma once
// Window geometry is given in twips (1/1440 inch): 15 twips are one pixel at
// 96 dpi, and the conversion follows the screen's logical dpi.
#include <QPaintDevice>
#include <QRect>
#include <cmath>

namespace corvane {

inline int twipsToPixels(int twips, int dpi)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

inline int twipsX(int twips, const QPaintDevice& device) { return twipsToPixels(twips, device.logicalDpiX()); }
inline int twipsY(int twips, const QPaintDevice& device) { return twipsToPixels(twips, device.logicalDpiY()); }

inline QRect twipsRect(int left, int top, int width, int height, const QPaintDevice& device)
{
    return QRect(twipsX(left, device), twipsY(top, device), twipsX(width, device), twipsY(height, device));
}

} // namespace corvane
