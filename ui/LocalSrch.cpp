#include "ui/LocalSrch.h"

#include "ui/cp_text.h"
#include "ui/window_frame.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>

namespace ui {

TLocalSrchForm* LocalSrchForm = nullptr;

TLocalSrchForm::TLocalSrchForm() {
    setWindowTitle(Tr("ローカル検索"));
    SetWindowColour(this, QColor(192, 192, 192));
    setFont(ProportionalGothicFont(12));
    RemoveCaptionButtons(this);

    QMenuBar* bar = menuBar();
    StyleMenuBar(bar);
    Find1 = AddMenuItem(bar, "検索(&S)");
    N1 = AddMenuItem(bar, "キャンセル(&C)");
    N2 = AddSpacer(bar);
    Exit1 = AddMenuItem(bar, "終了(&E)");
    OnTriggered(Find1, this, &TLocalSrchForm::Find1Click);
    OnTriggered(N1, this, &TLocalSrchForm::N1Click);
    OnTriggered(Exit1, this, &TLocalSrchForm::Exit1Click);

    auto* client = new QWidget(this);
    setCentralWidget(client);
    Label1 = new QLabel(Tr("検索語句： "), client);
    Label1->move(39, 13);
    Label1->setAutoFillBackground(true);
    Label1->setStyleSheet(QStringLiteral("background: white"));
    Edit1 = new QLineEdit(client);
    Edit1->setGeometry(100, 12, 300, 20);
    Memo1 = new QPlainTextEdit(client);

    LocalSrchCreate();
}

void TLocalSrchForm::LocalSrchCreate() {
    SetOuterBounds(this, kSizeableFrame, 290, 80, 500, 400);
    Edit1->clear();
    Memo1->clear();
    LocalSrchFormResize();
}

void TLocalSrchForm::LocalSrchFormResize() {
    Memo1->setGeometry(0, 40, OuterWidth(this, kSizeableFrame) - 16, OuterHeight(this, kSizeableFrame) - 85);
}

void TLocalSrchForm::Find1Click() {}

void TLocalSrchForm::N1Click() {
    Edit1->clear();
    Memo1->clear();
}

void TLocalSrchForm::Exit1Click() {
    N1Click();
    close();
}

void TLocalSrchForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    LocalSrchFormResize();
}

}  // namespace ui
