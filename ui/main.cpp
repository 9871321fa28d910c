// Norvane: start-up and the event loop.
#include "ui/WHAT.h"
#include "ui/app/application.h"
#include "ui/dialogs/help_viewer.h"
#include "ui/dialogs/message_boxes.h"
#include "ui/run/background_run.h"
#include "ui/startup.h"

#include <QAction>
#include <QApplication>
#include <QTextBrowser>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

// Hidden flag `--check-help`, for the package test, which has no one to look
// at the screen: start as usual, choose ヘルプ in the setup window, and exit
// with 0 when the help window shows the help file (its path is printed), or
// 1 when it does not (the message box that came instead is printed). Nothing
// else of the program reads the flag.
int CheckHelp() {
    int status = 1;
    ui::MessageBoxes::SetAnswerer([](const ui::MessageBoxRequest& box) {
        std::fprintf(stderr, "Norvane --check-help: %s\n", qUtf8Printable(box.text));
    });
    QTimer::singleShot(0, [&status] {
        ui::WhatForm->Help1->trigger();
        // Looked at once the event loop has shown the window.
        QTimer::singleShot(0, [&status] {
            const QTextBrowser* help = ui::HelpViewer::Window();
            const QString shown = help ? help->source().toLocalFile() : QString();
            if (help && help->isVisible() && shown == ui::HelpViewer::HelpFilePath() &&
                !help->toPlainText().trimmed().isEmpty()) {
                std::printf("%s\n", qUtf8Printable(shown));
                status = 0;
            }
            QApplication::quit();
        });
    });
    QApplication::exec();
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::Application::Init(QApplication::applicationFilePath());
    ui::WindowSet windows;
    ui::WhatForm->show();
    if (QApplication::arguments().contains(QStringLiteral("--check-help"))) return CheckHelp();
    const int status = QApplication::exec();
    // A cancelled run that would not stop (a read that blocks) may still use
    // what the program would now tear down: end without tearing down.
    if (ui::RunsStillGoing()) std::_Exit(status);
    return status;
}
