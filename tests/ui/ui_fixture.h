// What the window tests share: the window set made afresh for each test, and
// every message box answered and recorded instead of shown.
#pragma once

#include "ui/dialogs/message_boxes.h"
#include "ui/startup.h"
#include "ui/text/code_page_text.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <functional>
#include <memory>
#include <vector>

namespace testing_ui {

struct SeenBox {
    ui::MessageBoxRequest request;
    std::vector<QWidget*> enabledWindows;  // top-level windows enabled while it showed
};

// A box as a test expects to see it.
struct ExpectedBox {
    QString text;
    QString caption;
    ui::BoxOwner owner = ui::BoxOwner::Application;
    ui::BoxIcon icon = ui::BoxIcon::Error;
};

// The default error display's box, captioned with the title (Norvane in the tests).
inline ExpectedBox ErrorBox(const QString& text) { return {text, QStringLiteral("Norvane")}; }
// The box a window refuses a command with.
inline ExpectedBox CautionBox(const QString& text, ui::BoxOwner owner) { return {text, ui::FromUtf8("注意"), owner}; }
// The viewer's box for a file it can't read.
inline ExpectedBox FileAccessBox() {
    return {ui::FromUtf8("File アクセスでエラー発生！! "), ui::FromUtf8("警告"), ui::BoxOwner::None};
}

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

    // For QVERIFY: whether exactly these boxes showed, in order, each with its
    // text, caption, owner and icon; the first box that differs is reported.
    [[nodiscard]] bool ExpectBoxes(const std::vector<ExpectedBox>& expected) const {
        const auto line = [](const QString& caption, const QString& text, ui::BoxOwner owner, ui::BoxIcon icon) {
            return caption + QStringLiteral(": ") + text +
                   QStringLiteral(" (owner %1, icon %2)").arg(static_cast<int>(owner)).arg(static_cast<int>(icon));
        };
        QStringList shown, wanted;
        for (const SeenBox& box : boxes) {
            shown << line(box.request.caption, box.request.text, box.request.owner, box.request.icon);
        }
        for (const ExpectedBox& box : expected) wanted << line(box.caption, box.text, box.owner, box.icon);
        return QTest::qCompare(shown, wanted, "boxes shown", "boxes expected", __FILE__, __LINE__);
    }

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
