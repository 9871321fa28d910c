#include "ui/working_window.h"

#include "ui/frame/caption_buttons.h"
#include "ui/frame/menu_bar.h"
#include "ui/frame/window_colour.h"
#include "ui/text/code_page_text.h"

#include <QMainWindow>
#include <QMenuBar>

namespace ui {

QMenuBar* SetUpWorkingWindow(QMainWindow* window, const WindowLook& look) {
    window->setWindowTitle(FromUtf8(look.title));
    SetWindowColour(window, look.colour);
    window->setFont(look.font);
    switch (look.buttons) {
    case CaptionButtons::None: RemoveCaptionButtons(window); break;
    case CaptionButtons::MinimiseAndClose: KeepMinimiseAndClose(window); break;
    }
    QMenuBar* bar = window->menuBar();
    StyleMenuBar(bar);
    return bar;
}

}  // namespace ui
