#include "ui/search_box/search_box.h"

#include "core/search/pasted_text.h"
#include "ui/app/application.h"
#include "ui/dialogs/message_boxes.h"
#include "ui/text/code_page_text.h"
#include "ui/text/native_text.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

#include <optional>

namespace ui {

namespace {

constexpr const char* kNulInPaste = "貼り付ける文字列に NUL 文字 (文字コード 0) があるので、貼り付けません。";

// The text as one line; nullopt, after the 注意 box, when it holds a NUL.
std::optional<QString> Joined(const QString& text) {
    const auto joined = core::JoinPastedLines(ToNative(text));
    if (!joined) {
        ShowCaution(FromUtf8(kNulInPaste), BoxOwner::Application);
        return std::nullopt;
    }
    return FromNative(*joined);
}

}  // namespace

SearchBox::SearchBox(QWidget* parent) : QLineEdit(parent) {}

void SearchBox::PasteText(const QString& text) {
    if (isReadOnly()) return;
    if (const auto joined = Joined(text)) insert(*joined);
}

void SearchBox::PasteFrom(QClipboard::Mode mode) { PasteText(QGuiApplication::clipboard()->text(mode)); }

void SearchBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        Guarded([this] { PasteFrom(QClipboard::Clipboard); });
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void SearchBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    if (!menu) return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The menu's own paste item, with its text, keys and state, pastes ours.
    // Newer Qt names it; older Qt only gives it its (translated) text.
    const QString pasteText = QLineEdit::tr("&Paste");
    for (QAction* item : menu->actions()) {
        if (item->objectName() != QLatin1String("edit-paste") && !item->text().startsWith(pasteText)) continue;
        item->disconnect();
        connect(item, &QAction::triggered, this, [this] { Guarded([this] { PasteFrom(QClipboard::Clipboard); }); });
    }
    menu->popup(event->globalPos());
}

void SearchBox::mouseReleaseEvent(QMouseEvent* event) {
    // The middle button pastes the selection, where the system has one.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection() && !isReadOnly()) {
        deselect();
        Guarded([this] { PasteFrom(QClipboard::Selection); });
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void SearchBox::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasText()) return QLineEdit::dropEvent(event);
    std::optional<QString> joined;
    Guarded([&] { joined = Joined(event->mimeData()->text()); });
    if (!joined) {
        event->ignore();
        return;
    }
    QMimeData one;
    one.setText(*joined);
    QDropEvent drop(event->position(), event->possibleActions(), &one, event->buttons(), event->modifiers(),
                    event->type());
    drop.setDropAction(event->dropAction());
    QLineEdit::dropEvent(&drop);
    event->setDropAction(drop.dropAction());
    event->setAccepted(drop.isAccepted());
}

void SearchBox::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    if (commit.isEmpty()) return QLineEdit::inputMethodEvent(event);
    std::optional<QString> joined;
    Guarded([&] { joined = Joined(commit); });
    QInputMethodEvent one(event->preeditString(), event->attributes());
    one.setCommitString(joined.value_or(QString()), event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&one);
}

}  // namespace ui
