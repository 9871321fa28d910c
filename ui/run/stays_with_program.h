// A modal window that stays with the program: it has no minimise button and
// stays above the window it was opened over. Should the window manager
// minimise it all the same, the program's windows go with it, and when any
// of them comes back, it comes back too, on top. A program whose modal window
// is hidden looks dead: every key and click is refused with nothing to say why.
#pragma once

class QDialog;

namespace ui {

void KeepWithProgram(QDialog* window);

}  // namespace ui
