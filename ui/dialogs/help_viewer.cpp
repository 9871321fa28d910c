#include "ui/dialogs/help_viewer.h"

#include "ui/dialogs/message_boxes.h"
#include "ui/text/code_page_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

#include <memory>

namespace ui {

namespace {
struct HelpWindow {
    std::unique_ptr<QTextBrowser> browser;
    QUrl file;  // the help file it was made for
};

HelpWindow& Viewer() {
    static HelpWindow viewer;
    return viewer;
}
}  // namespace

QString HelpViewer::HelpFilePath() {
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString beside = programDir.filePath(QStringLiteral("Norvane.html"));
    if (QFileInfo(beside).isFile()) return beside;
    // Installed: <prefix>/bin/Norvane with <prefix>/share/norvane/Norvane.html.
    return QDir::cleanPath(programDir.filePath(QStringLiteral("../share/norvane/Norvane.html")));
}

void HelpViewer::ShowContents(QWidget* owner) {
    const QString path = HelpFilePath();
    if (!QFileInfo(path).isFile()) {
        MessageBoxes::Show({FromUtf8("ヘルプ ファイル %1 が見つかりません。").arg(QDir::toNativeSeparators(path)),
                            FromUtf8("ヘルプ"), BoxIcon::Error, BoxOwner::None});
        return;
    }
    const QUrl file = QUrl::fromLocalFile(path);
    auto& viewer = Viewer();
    // A browser's home is the first page it ever showed, so a help file found
    // in another place than before gets a browser of its own.
    if (viewer.file != file) viewer.browser.reset();
    if (!viewer.browser) {
        viewer.browser = std::make_unique<QTextBrowser>();
        viewer.file = file;
        viewer.browser->setWindowTitle(FromUtf8("Norvane ヘルプ"));
        viewer.browser->setOpenExternalLinks(true);
        viewer.browser->resize(640, 560);
        if (owner) viewer.browser->move(owner->frameGeometry().topLeft() + QPoint(60, 60));
    }
    QTextBrowser* browser = viewer.browser.get();
    browser->setSource(file);
    browser->home();
    browser->show();
    browser->raise();
    browser->activateWindow();
}

void HelpViewer::Quit() { Viewer() = {}; }

QTextBrowser* HelpViewer::Window() { return Viewer().browser.get(); }

}  // namespace ui
