// The one-line text input dialog: a prompt, a text box, OK and cancel, laid
// out in dialog units of the system's dialog font.
#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {

class InputQueryDialog : public QDialog {
public:
    InputQueryDialog(const QString& caption, const QString& prompt, const QString& value, QWidget* parent = nullptr);

    QLabel* Prompt;
    QLineEdit* Edit;
    QPushButton* OkButton;
    QPushButton* CancelButton;
};

// The dialog font: ＭＳ Ｐゴシック at 9 points.
QFont DialogFont();

// Shows the dialog modally, centred on the screen, with value in the text box
// and all of it selected. The text box's content when closed with OK;
// nullopt when closed with the cancel button, Esc or the close box.
std::optional<QString> InputQuery(const QString& caption, const QString& prompt, const QString& value,
                                  QWidget* parent = nullptr);

}  // namespace ui
