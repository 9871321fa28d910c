#include "ui/dialogs/input_query.h"

#include "core/output/dialog_units.h"
#include "ui/frame/window_fonts.h"
#include "ui/frame/window_geometry.h"
#include "ui/text/alt_keys.h"
#include "ui/text/code_page_text.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace ui {

namespace {

constexpr int kMaxLength = 255;

core::DialogUnits UnitsOf(const QFont& font) {
    const QFontMetricsF metrics(font);
    return core::DialogUnits(
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
        QFontMetrics(font).height());
}

QRect ScreenRect() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(QPoint(0, 0), ScreenSize());
}

}  // namespace

QFont DialogFont() {
    QFont font = ProportionalGothicFont(12);
    font.setPointSize(9);
    return font;
}

InputQueryDialog::InputQueryDialog(const QString& caption, const QString& prompt, const QString& value, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(caption);
    setFont(DialogFont());
    const core::DialogUnits du = UnitsOf(font());

    Prompt = new QLabel(prompt, this);
    Prompt->move(du.X(8), du.Y(8));
    Prompt->adjustSize();

    Edit = new QLineEdit(value, this);
    RefuseAltTyping(Edit);
    Edit->setMaxLength(kMaxLength);
    Edit->setGeometry(du.X(8), du.Y(19), du.X(164), Edit->sizeHint().height());
    Edit->selectAll();

    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setGeometry(du.X(38), du.Y(41), du.X(50), du.Y(14));
    OkButton->setDefault(true);
    CancelButton = new QPushButton(FromUtf8("ｷｬﾝｾﾙ"), this);
    CancelButton->setGeometry(du.X(92), du.Y(41), du.X(50), du.Y(14));
    CancelButton->setAutoDefault(false);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(du.X(180), du.Y(63));
    Edit->setFocus();
}

std::optional<QString> InputQuery(const QString& caption, const QString& prompt, const QString& value,
                                  QWidget* parent) {
    InputQueryDialog dialog(caption, prompt, value, parent);
    dialog.setModal(true);
    dialog.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, dialog.size(), ScreenRect()));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Edit->text();
}

}  // namespace ui
