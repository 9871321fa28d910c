#include "ui/frame/menu_bar.h"

#include "ui/text/code_page_text.h"

#include <QMenu>
#include <QMenuBar>

namespace ui {

void StyleMenuBar(QMenuBar* bar) {
    // Items as close together as on the classic menu bar, so that every item
    // and spacer of a window fits its width.
    bar->setStyleSheet(
        QStringLiteral("QMenuBar { background: #f0f0f0; }"
                       "QMenuBar::item { padding: 2px 5px; background: transparent; }"
                       "QMenuBar::item:selected { background: #3399ff; color: white; }"));
}

namespace {
// An empty caption would take no room at all; a blank item on the menu bar
// is a small gap.
QString SpacerCaption(const char* caption) { return *caption ? FromUtf8(caption) : QStringLiteral(" "); }
}  // namespace

QAction* AddMenuItem(QMenuBar* bar, const char* caption) { return bar->addAction(FromUtf8(caption)); }

QAction* AddSpacer(QMenuBar* bar, const char* caption) { return bar->addAction(SpacerCaption(caption)); }

QMenu* AddSpacerMenu(QMenuBar* bar, const char* caption, const char* itemCaption) {
    QMenu* menu = bar->addMenu(SpacerCaption(caption));
    menu->addAction(SpacerCaption(itemCaption));
    return menu;
}

}  // namespace ui
