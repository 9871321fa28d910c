// The one way the program shows message boxes, in the two kinds it uses.
//
// Application-owned: every visible, enabled window of the program is disabled
// while the box shows and exactly those are enabled again afterwards.
// Ownerless: the box blocks the command that asked for it, but the windows
// behind it stay usable.
#pragma once

#include <QString>

#include <functional>

namespace ui {

enum class BoxOwner { Application, None };
enum class BoxIcon { Error, Warning, Information };

struct MessageBoxRequest {
    QString text;
    QString caption;
    BoxIcon icon = BoxIcon::Error;
    BoxOwner owner = BoxOwner::Application;
};

class MessageBoxes {
public:
    // Shows a box with one OK button and returns when it is closed.
    static void Show(const MessageBoxRequest& request);

    // Tests answer the boxes: the answerer runs in place of the box, at the
    // moment it would be on screen (windows disabled as they would be).
    using Answerer = std::function<void(const MessageBoxRequest&)>;
    static void SetAnswerer(Answerer answerer);
};

// The box the windows refuse a command with: text under the caption 注意
// (caution), with the stop icon.
void ShowCaution(const QString& text, BoxOwner owner);

}  // namespace ui
