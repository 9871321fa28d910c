#include "ui/help_viewer.h"

#include "ui/cp_text.h"
#include "ui/message_boxes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

#include <memory>

namespace ui {

namespace {
std::unique_ptr<QTextBrowser>& Viewer() {
    static std::unique_ptr<QTextBrowser> viewer;
    return viewer;
}
}  // namespace


QString HelpViewer::HelpFilePath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Norvane.html"));
}

void HelpViewer::ShowContents(QWidget* owner) {
    const QString path = HelpFilePath();
    if (!QFileInfo(path).isFile()) {
        MessageBoxes::Show({Tr("ヘルプ ファイル %1 が見つかりません。").arg(QDir::toNativeSeparators(path)),
                            Tr("ヘルプ"), BoxIcon::Error, BoxOwner::None});
        return;
    }
    auto& viewer = Viewer();
    if (!viewer) {
        viewer = std::make_unique<QTextBrowser>();
        viewer->setWindowTitle(Tr("Norvane ヘルプ"));
        viewer->setOpenExternalLinks(true);
        viewer->resize(640, 560);
        if (owner) viewer->move(owner->frameGeometry().topLeft() + QPoint(60, 60));
    }
    viewer->setSource(QUrl::fromLocalFile(path));
    viewer->home();
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

void HelpViewer::Quit() { Viewer().reset(); }

QTextBrowser* HelpViewer::Window() { return Viewer().get(); }

}  // namespace ui
