#include "ui/qt/tool_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

namespace tav::qt {

namespace {

// A glyph on a transparent 24x24 square: a coloured shape and a short label.
QIcon glyph(QColor color, const char* label, int shape) {
  QPixmap pm(24, 24);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(color.darker(150), 1.2));
  p.setBrush(color);
  switch (shape) {
    case 0: p.drawEllipse(QRectF(3, 3, 18, 18)); break;        // breakpoint
    case 1: {                                                   // go: a triangle
      QPainterPath path;
      path.moveTo(6, 3);
      path.lineTo(21, 12);
      path.lineTo(6, 21);
      path.closeSubpath();
      p.drawPath(path);
      break;
    }
    case 2: p.drawRect(QRectF(5, 5, 14, 14)); break;            // stop: a square
    case 3: {                                                   // step: an arrow down
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(color, 2.5));
      p.drawLine(QPointF(12, 3), QPointF(12, 18));
      p.drawLine(QPointF(6, 12), QPointF(12, 19));
      p.drawLine(QPointF(18, 12), QPointF(12, 19));
      break;
    }
    case 4: {                                                   // step over: an arc
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(color, 2.5));
      p.drawArc(QRectF(4, 5, 16, 16), 0, 180 * 16);
      p.drawLine(QPointF(20, 13), QPointF(16, 9));
      p.drawLine(QPointF(20, 13), QPointF(22, 8));
      break;
    }
    default: p.setBrush(color.lighter(170)); p.drawRoundedRect(QRectF(2, 3, 20, 18), 3, 3); break;  // a window
  }
  if (label && *label) {
    QFont f = p.font();
    f.setPixelSize(shape == 5 ? 10 : 9);
    f.setBold(true);
    p.setFont(f);
    p.setPen(shape == 5 ? color.darker(200) : QColor(Qt::white));
    p.drawText(QRectF(0, shape == 3 || shape == 4 ? 14 : 0, 24, shape == 3 || shape == 4 ? 10 : 24),
               Qt::AlignCenter, label);
  }
  return QIcon(pm);
}

}  // namespace

QIcon tool_icon(int id, QStyle* style) {
  switch (id) {
    case 101: return style->standardIcon(QStyle::SP_DialogOpenButton);
    case 805: return glyph(QColor(220, 30, 30), "C", 0);
    case 806: return glyph(QColor(230, 120, 0), "D", 0);
    case 204: return glyph(QColor(120, 60, 160), "i", 3);
    case 203: return glyph(QColor(30, 90, 200), "C", 3);
    case 205: return glyph(QColor(30, 130, 60), "", 4);
    case 201: return glyph(QColor(40, 170, 60), "", 1);
    case 1: return glyph(QColor(200, 30, 30), "", 2);
    case 301: return glyph(QColor(120, 120, 120), "Prj", 5);
    case 300: return glyph(QColor(60, 60, 60), ">_", 5);
    case 320: return glyph(QColor(170, 40, 40), "Asm", 5);
    case 310: return glyph(QColor(30, 90, 200), "Reg", 5);
    case 330: return glyph(QColor(30, 130, 60), "Stk", 5);
    case 335: return glyph(QColor(120, 60, 160), "Loc", 5);
    case 336: return glyph(QColor(160, 100, 20), "Glb", 5);
    case 340: return glyph(QColor(20, 130, 140), "Mon", 5);
    case 360: return glyph(QColor(90, 90, 160), "Mem", 5);
    default: return {};
  }
}

}  // namespace tav::qt
