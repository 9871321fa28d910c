// Norvane: start-up and the event loop.
#include "ui/WHAT.h"
#include "ui/application.h"
#include "ui/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ui::Application::Init(QApplication::applicationFilePath());
    ui::WindowSet windows;
    ui::WhatForm->show();
    return QApplication::exec();
}
