// Menu bar items. A blank item is a spacer that does nothing.
#pragma once

class QAction;
class QMenu;
class QMenuBar;

namespace ui {

void StyleMenuBar(QMenuBar* bar);
QAction* AddMenuItem(QMenuBar* bar, const char* caption);
QAction* AddSpacer(QMenuBar* bar, const char* caption = "");
// A spacer with one sub-item of the given caption.
QMenu* AddSpacerMenu(QMenuBar* bar, const char* caption, const char* itemCaption);

}  // namespace ui
