#pragma once

#include <QIcon>

class QPainter;
class QRectF;

namespace quillon {

// Quillon's icon: a photograph on a blue tile. Drawn rather than loaded, so
// it is sharp at every size and device pixel ratio; the installed SVG
// shows the same picture.
void paintProgramIcon(QPainter& p, const QRectF& box);
QIcon programIcon();

} // namespace quillon
