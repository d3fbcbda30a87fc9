// The toolbar's icons, drawn at run time (no bitmaps shipped).
#pragma once
#include <QIcon>

class QStyle;

namespace tav::qt {

QIcon tool_icon(int id, QStyle* style);

}  // namespace tav::qt
