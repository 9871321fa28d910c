// What the window tests share: the window set made afresh for each test, and
// every message box answered and recorded instead of shown.
#pragma once

#include "ui/dialogs/message_boxes.h"
#include "ui/startup.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace testing_ui {

struct SeenBox {
    ui::MessageBoxRequest request;
    std::vector<QWidget*> enabledWindows;  // top-level windows enabled while it showed
};

class UiFixture {
public:
    UiFixture() {
        ui::MessageBoxes::SetAnswerer([this](const ui::MessageBoxRequest& request) {
            SeenBox box{request, {}};
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->isVisible() && w->isEnabled()) box.enabledWindows.push_back(w);
            }
            boxes.push_back(box);
            if (onBox) onBox(request);
        });
        windows = std::make_unique<ui::WindowSet>();
    }
    ~UiFixture() {
        windows.reset();
        ui::MessageBoxes::SetAnswerer({});
    }
    UiFixture(const UiFixture&) = delete;
    UiFixture& operator=(const UiFixture&) = delete;

    std::vector<SeenBox> boxes;
    std::function<void(const ui::MessageBoxRequest&)> onBox;
    std::unique_ptr<ui::WindowSet> windows;
};

// Runs action once the next modal loop is running (a modal window blocks the
// caller until it closes). A failing check returns from action early, with
// its window still open: whatever action leaves open of that window and above
// it is closed then, so that the test ends at once instead of waiting in the
// loop for its time limit.
inline void WhenModal(std::function<void()> action) {
    QTimer::singleShot(0, [action = std::move(action)] {
        const QPointer<QWidget> running = QApplication::activeModalWidget();
        action();
        for (int left = 16; running && running->isVisible() && left > 0; --left) {
            QWidget* open = QApplication::activeModalWidget();
            if (auto* dialog = qobject_cast<QDialog*>(open)) {
                dialog->reject();
            } else if (open) {
                open->hide();
            } else {
                running->hide();
            }
        }
    });
}

// Clicks a menu bar item the way a user does: through its action.
inline void Choose(QAction* item) { item->trigger(); }

}  // namespace testing_ui
