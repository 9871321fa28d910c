// Norvane: start-up and the event loop.
#include "ui/WHAT.h"
#include "ui/application.h"
#include "ui/background_run.h"
#include "ui/startup.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::Application::Init(QApplication::applicationFilePath());
    ui::WindowSet windows;
    ui::WhatForm->show();
    const int status = QApplication::exec();
    // A cancelled run that would not stop (a read that blocks) may still use
    // what the program would now tear down: end without tearing down.
    if (ui::RunsStillGoing()) std::_Exit(status);
    return status;
}
