#include "ui/WHAT.h"

#include "ui/RESULT.h"
#include "ui/cp_text.h"
#include "ui/help_viewer.h"
#include "ui/window_frame.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>

namespace ui {

TWhatForm* WhatForm = nullptr;

TWhatForm::TWhatForm() {
    setWindowTitle(Tr("グローバル検索  for Windows 9x"));
    SetWindowColour(this, QColor(0, 255, 255));
    setFont(GothicFont(13, true));
    // A single border: fixed size, with a minimise and a close box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    QMenuBar* bar = menuBar();
    StyleMenuBar(bar);
    bar->setFont(GothicFont(13));
    N1 = AddMenuItem(bar, "検索開始(&S)");
    N2 = AddMenuItem(bar, "キャンセル(&C)");
    Exit1 = AddMenuItem(bar, "終了(&E)");
    N3 = AddSpacer(bar);
    N4 = AddSpacer(bar);
    N6 = AddSpacer(bar);
    N7 = AddMenuItem(bar, "検索結果の再呼び出し(&G)");
    N5 = AddSpacer(bar);
    N8 = AddSpacerMenu(bar, "　", "　");
    Help1 = AddMenuItem(bar, "ヘルプ");
    OnTriggered(N1, this, &TWhatForm::N1Click);
    OnTriggered(N2, this, &TWhatForm::N2Click);
    OnTriggered(N7, this, &TWhatForm::N7Click);
    OnTriggered(Exit1, this, &TWhatForm::Exit1Click);
    OnTriggered(Help1, this, &TWhatForm::Help1Click);

    WhatFormCreate();
}

void TWhatForm::WhatFormCreate() {
    // Centred by the design-time width, which the next step changes.
    constexpr int kDesignWidth = 539 + kFixedFrame.width;
    constexpr int kWidth = 550, kHeight = 460;
    SetOuterBounds(this, kFixedFrame, ScreenSize().width() / 2 - kDesignWidth / 2, 0, kWidth, kHeight);
    setFixedSize(size());
}

void TWhatForm::N1Click() {
    ResultForm->show();
    hide();
}

void TWhatForm::N2Click() {}

void TWhatForm::N7Click() {
    ResultForm->show();
    hide();
}

void TWhatForm::Exit1Click() { close(); }

void TWhatForm::Help1Click() { HelpViewer::ShowContents(this); }

void TWhatForm::closeEvent(QCloseEvent* event) {
    // The main window: closing it ends the program.
    event->accept();
    QCoreApplication::quit();
}

}  // namespace ui
