#include "ProgressLine.h"

#include <QPainter>

namespace qtwindow {

void ProgressLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere, text());
}

} // namespace qtwindow
