#include "ui/text/alt_keys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace ui {

namespace {
class AltTypingFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        // Ctrl with Alt is AltGr on some keyboards, which does type text.
        const Qt::KeyboardModifiers mods = key->modifiers();
        if (!(mods & Qt::AltModifier) || (mods & Qt::ControlModifier)) return false;
        const QString text = key->text();
        return !text.isEmpty() && text.at(0).isPrint();
    }
};
}  // namespace

void RefuseAltTyping(QWidget* box) { box->installEventFilter(new AltTypingFilter(box)); }

}  // namespace ui
