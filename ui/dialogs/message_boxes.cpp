#include "ui/dialogs/message_boxes.h"

#include "ui/text/code_page_text.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <optional>
#include <vector>

namespace ui {

namespace {

MessageBoxes::Answerer& TheAnswerer() {
    static MessageBoxes::Answerer answerer;
    return answerer;
}

QMessageBox::Icon ToQt(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Error: return QMessageBox::Critical;
    case BoxIcon::Warning: return QMessageBox::Warning;
    case BoxIcon::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// Disables the program's visible, enabled windows for its lifetime; then
// enables exactly those again and gives the activation back.
class WindowsDisabled {
public:
    WindowsDisabled() : active_(QApplication::activeWindow()) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->isEnabled()) {
                w->setEnabled(false);
                disabled_.emplace_back(w);
            }
        }
    }
    ~WindowsDisabled() {
        for (const auto& w : disabled_) {
            if (w) w->setEnabled(true);
        }
        if (active_ && active_->isVisible()) active_->activateWindow();
    }
    WindowsDisabled(const WindowsDisabled&) = delete;
    WindowsDisabled& operator=(const WindowsDisabled&) = delete;

private:
    QPointer<QWidget> active_;
    std::vector<QPointer<QWidget>> disabled_;
};

void ShowOnScreen(const MessageBoxRequest& request) {
    QMessageBox box(ToQt(request.icon), request.caption, request.text, QMessageBox::Ok);
    if (request.owner == BoxOwner::Application) {
        box.exec();
        return;
    }
    // No owner and no modality: wait for the box while the windows go on.
    box.setWindowModality(Qt::NonModal);
    // A modal window in front (the viewer) would block a box it does not
    // lead to, and the system would keep it behind: the box is made that
    // window's transient, which the system stacks over it and which takes
    // input, while the window stays usable. It still has no owner widget.
    if (QWidget* front = QApplication::activeModalWidget()) {
        box.winId();
        box.windowHandle()->setTransientParent(front->window()->windowHandle());
    }
    QEventLoop loop;
    QObject::connect(&box, &QMessageBox::finished, &loop, &QEventLoop::quit);
    box.show();
    box.raise();
    box.activateWindow();
    loop.exec();
}

}  // namespace

void MessageBoxes::Show(const MessageBoxRequest& request) {
    std::optional<WindowsDisabled> disabled;
    if (request.owner == BoxOwner::Application) disabled.emplace();
    if (TheAnswerer()) {
        TheAnswerer()(request);
    } else {
        ShowOnScreen(request);
    }
}

void MessageBoxes::SetAnswerer(Answerer answerer) { TheAnswerer() = std::move(answerer); }

void ShowCaution(const QString& text, BoxOwner owner) {
    MessageBoxes::Show({text, FromUtf8("注意"), BoxIcon::Error, owner});
}

}  // namespace ui
