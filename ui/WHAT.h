// The search setup window: the browser, the target grid and the search box.
#pragma once

#include <QMainWindow>

#include <array>
#include <string>

class QAction;
class QMenu;

namespace ui {

class TWhatForm : public QMainWindow {
public:
    TWhatForm();

    // Entry 0 is the search text, entries 1 to 20 the targets; the list ends
    // at its first empty entry. Filled only by the start command.
    std::array<std::string, 21> Targets;

    // Menu.
    QAction* N1;
    QAction* N2;
    QAction* Exit1;
    QAction* N3;
    QAction* N4;
    QAction* N6;
    QAction* N7;
    QAction* N5;
    QMenu* N8;
    QAction* Help1;

    void N1Click();
    void N2Click();
    void N7Click();
    void Exit1Click();
    void Help1Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void WhatFormCreate();
};

extern TWhatForm* WhatForm;

}  // namespace ui
