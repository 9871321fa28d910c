// The one-line box a search text is typed in. What is pasted into it (the
// paste keys, the context menu, the middle button, a drop, an input method)
// is joined into one line as the global search joins lines; a paste holding
// a NUL is refused with a 注意 box.
#pragma once

#include <QClipboard>
#include <QLineEdit>

namespace ui {

class SearchBox : public QLineEdit {
public:
    explicit SearchBox(QWidget* parent = nullptr);

    // Inserts text as a paste: joined into one line at the caret, replacing
    // the selection; refused, changing nothing, when it holds a NUL.
    void PasteText(const QString& text);
    // Pastes what the clipboard (or the selection) holds.
    void PasteFrom(QClipboard::Mode mode);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};

}  // namespace ui
