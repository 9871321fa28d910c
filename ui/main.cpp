// Norvane: start-up and the event loop.
#include "core/browse/start_files.h"
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
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "Usage: Norvane [FILE]...\n"
    "Opens the search setup window, with the FILEs (up to 20) in its grid of\n"
    "chosen files and the browser in the first one's folder.\n";

std::vector<std::string> ArgumentsOf(int argc, char** argv) { return {argv + 1, argv + argc}; }

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
    // Heard before a display is needed.
    if (core::ReadStartArguments(ArgumentsOf(argc, argv)).help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    QApplication app(argc, argv);
    // Qt has taken its own options out of argv; the rest keep the bytes the
    // system gave, so a name the code page can't hold still names its file.
    const core::StartArguments arguments = core::ReadStartArguments(ArgumentsOf(argc, argv));
    if (!arguments.unknownOption.empty()) {
        std::fprintf(stderr, "Norvane: unknown option %s\n%s", arguments.unknownOption.c_str(), kUsage);
        return 2;
    }
    ui::Application::Init(QApplication::applicationFilePath());
    ui::WindowSet windows;
    if (arguments.checkHelp) {
        ui::WhatForm->show();
        return CheckHelp();
    }
    ui::ShowSetupWindow(arguments.files);
    const int status = QApplication::exec();
    // A cancelled run that would not stop (a read that blocks) may still use
    // what the program would now tear down: end without tearing down.
    if (ui::RunsStillGoing()) std::_Exit(status);
    return status;
}
