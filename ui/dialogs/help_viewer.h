// The program's own help viewer: the help file, shown at its contents page in
// a window of its own.
#pragma once

#include <QString>

class QTextBrowser;
class QWidget;

namespace ui {

class HelpViewer {
public:
    // Norvane.html in the executable's folder when it is there (a build
    // tree), else ../share/norvane/Norvane.html from that folder (installed).
    static QString HelpFilePath();

    // Makes that file the help file and shows its contents; a missing file is
    // reported by the viewer itself.
    static void ShowContents(QWidget* owner);

    // Closes the viewer when the program ends.
    static void Quit();

    // The viewer's window, once it has been opened (for tests).
    static QTextBrowser* Window();
};

}  // namespace ui
