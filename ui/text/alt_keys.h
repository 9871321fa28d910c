// Alt with a letter belongs to the menus: when no menu item takes it, it
// must not type the letter into a text box either.
#pragma once

class QWidget;

namespace ui {

// Makes box drop key presses with Alt (and without Ctrl) that would type text.
void RefuseAltTyping(QWidget* box);

}  // namespace ui
