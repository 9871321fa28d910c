// Start-up, navigation, the error display and help.
#include "core/errors.h"
#include "ui/LocalSrch.h"
#include "ui/Opening.h"
#include "ui/RESULT.h"
#include "ui/TEXTVIEW.h"
#include "ui/WHAT.h"
#include "ui/app/application.h"
#include "ui/dialogs/help_viewer.h"
#include "ui/frame/show_modal.h"
#include "ui/listing_box/listing_view.h"
#include "ui/text/code_page_text.h"
#include "ui_fixture.h"

#include <QtTest/qtestspontaneevent.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTextBrowser>
#include <QtTest>

#include "platform/code_page.h"

using namespace ui;
using testing_ui::Choose;
using testing_ui::ErrorBox;
using testing_ui::UiFixture;
using testing_ui::WhenModal;

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Application::Init(QStringLiteral("/opt/norvane/bin/Norvane")); }

    void titleComesFromTheExecutableName() {
        QCOMPARE(Application::Title(), QStringLiteral("Norvane"));
        Application::Init(QStringLiteral("/usr/bin/NORVANE.EXE"));
        QCOMPARE(Application::Title(), QStringLiteral("Norvane"));
        // What the code page can't hold is one '?' a character, a surrogate pair too.
        Application::Init(FromUtf8("/opt/ö/bin/NÖRVANE😀.EXE"));
        QCOMPARE(Application::Title(), QStringLiteral("N?rvane?"));
        Application::Init(QStringLiteral("/opt/norvane/bin/Norvane"));
    }

    void windowsAreCreatedInOrderBehindTheSplash() {
        QStringList created;
        bool splashSeenThroughout = true;
        auto splashVisible = [] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (dynamic_cast<TOpeningForm*>(w) && w->isVisible()) return true;
            }
            return false;
        };
        {
            WindowSet windows([&](QWidget* w) {
                created << QString::fromLatin1(typeid(*w).name());
                splashSeenThroughout = splashSeenThroughout && splashVisible();
            });
            QCOMPARE(created.size(), 4);
            QVERIFY(created[0].contains("TWhatForm"));
            QVERIFY(created[1].contains("TResultForm"));
            QVERIFY(created[2].contains("TTextViewForm"));
            QVERIFY(created[3].contains("TLocalSrchForm"));
            QVERIFY(splashSeenThroughout);
            QVERIFY(!splashVisible());
            QVERIFY(WhatForm && ResultForm && TextViewForm && LocalSrchForm);
            // The viewer places itself by the result window.
            QCOMPARE(TextViewForm->pos(), ResultForm->pos() + QPoint(100, 40));
            QCOMPARE(LocalSrchForm->pos(), QPoint(290, 80));
            QCOMPARE(ResultForm->y(), 40);
        }
        QVERIFY(WhatForm == nullptr);
    }

    void navigationTable() {
        UiFixture f;
        WhatForm->show();
        // Recall: the result window first, then the setup window hides.
        Choose(WhatForm->N7);
        QVERIFY(ResultForm->isVisible());
        QVERIFY(!WhatForm->isVisible());
        // Back.
        Choose(ResultForm->N3);
        QVERIFY(!ResultForm->isVisible());
        QVERIFY(WhatForm->isVisible());

        // The viewer is modal over the result window; the local search over the viewer.
        Choose(WhatForm->N7);
        bool localWasModal = false;
        WhenModal([&] {
            QVERIFY(TextViewForm->isVisible());
            QCOMPARE(TextViewForm->windowModality(), Qt::ApplicationModal);
            WhenModal([&] {
                localWasModal = LocalSrchForm->isVisible() && LocalSrchForm->windowModality() == Qt::ApplicationModal;
                LocalSrchForm->Edit1->setText(QStringLiteral("x"));
                Choose(LocalSrchForm->Exit1);
            });
            Choose(TextViewForm->N10);
            QVERIFY(!LocalSrchForm->isVisible());
            QVERIFY(LocalSrchForm->Edit1->text().isEmpty());
            Choose(TextViewForm->N5);
        });
        ShowModal(TextViewForm);
        QVERIFY(localWasModal);
        QVERIFY(!TextViewForm->isVisible());
        QVERIFY(ResultForm->isVisible());

        // Exit closes the main window.
        Choose(ResultForm->N3);
        Choose(WhatForm->Exit1);
        QVERIFY(!WhatForm->isVisible());
    }

    void windowsWithoutSystemMenuHaveNoCaptionButtons() {
        UiFixture f;
        for (QWidget* w : std::initializer_list<QWidget*>{ResultForm, TextViewForm, LocalSrchForm}) {
            const Qt::WindowFlags flags = w->windowFlags();
            QVERIFY(!(flags & Qt::WindowCloseButtonHint));
            QVERIFY(!(flags & Qt::WindowMinMaxButtonsHint));
            QVERIFY(!(flags & Qt::WindowSystemMenuHint));
        }
        // A close box that a window manager draws anyway does not close them.
        ResultForm->show();
        QCloseEvent close;
        QSpontaneKeyEvent::setSpontaneous(&close);
        QApplication::sendEvent(ResultForm, &close);
        QVERIFY(ResultForm->isVisible());
        ResultForm->hide();
        QVERIFY(WhatForm->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(WhatForm->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(WhatForm->windowFlags() & Qt::WindowMaximizeButtonHint));

        // Some window managers draw the buttons all the same: a window is put
        // back at once from a state it has no command for (nothing would
        // bring a minimised result window back).
        ResultForm->show();
        for (const Qt::WindowState state : {Qt::WindowMinimized, Qt::WindowMaximized}) {
            ResultForm->setWindowState(state);
            QTRY_COMPARE(ResultForm->windowState(), Qt::WindowNoState);
        }
        ResultForm->hide();
        WhatForm->show();
        WhatForm->setWindowState(Qt::WindowMaximized);
        QTRY_COMPARE(WhatForm->windowState(), Qt::WindowNoState);
        WhatForm->setWindowState(Qt::WindowMinimized);  // it has a minimise box
        QTest::qWait(20);
        QCOMPARE(WhatForm->windowState(), Qt::WindowMinimized);
        WhatForm->setWindowState(Qt::WindowNoState);
    }

    // A check that fails inside a modal window's loop returns early and
    // leaves the window open: the loop must not outlive the test's body.
    void aModalLoopNeverOutlivesItsTestBody() {
        UiFixture f;
        bool ran = false;
        WhenModal([&] { ran = true; });  // returns as a failed check does, closing nothing
        ShowModal(LocalSrchForm);
        QVERIFY(ran);
        QVERIFY(!LocalSrchForm->isVisible());
    }

    void errorDisplayAppendsThePeriodByTheLastCharacter() {
        UiFixture f;
        WhatForm->show();
        auto shown = [&](const char* utf8) {
            f.boxes.clear();
            Guarded([&] { throw core::Exception(platform::FixedText(utf8)); });
            return f.boxes.empty() ? QStringLiteral("<none>") : f.boxes.front().request.text;
        };
        QCOMPARE(shown("ﾌｧｲﾙが見つかりません"), FromUtf8("ﾌｧｲﾙが見つかりません."));
        QCOMPARE(shown("I/O ｴﾗｰ (32)"), FromUtf8("I/O ｴﾗｰ (32)"));
        QCOMPARE(shown("done."), FromUtf8("done."));
        QCOMPARE(shown("漢"), FromUtf8("漢."));
        QCOMPARE(shown("ｱ"), FromUtf8("ｱ."));
        QCOMPARE(shown("stop!"), FromUtf8("stop!"));
        QVERIFY(f.ExpectBoxes({ErrorBox(FromUtf8("stop!"))}));

        // EAbort is silent.
        f.boxes.clear();
        Guarded([] { throw core::EAbort("quiet"); });
        QVERIFY(f.boxes.empty());
    }

    void errorDisplayDisablesExactlyTheEnabledWindows() {
        UiFixture f;
        WhatForm->show();
        ResultForm->show();
        ResultForm->setEnabled(false);  // already disabled: must stay so
        Guarded([] { throw core::EInOutError("x", 5); });
        QCOMPARE(f.boxes.size(), std::size_t(1));
        QVERIFY(f.boxes.front().enabledWindows.empty());
        QVERIFY(WhatForm->isEnabled());
        QVERIFY(!ResultForm->isEnabled());
        ResultForm->setEnabled(true);
    }

    void aFailingShowHandlerStillShowsItsWindow() {
        UiFixture f;
        WhatForm->show();
        WhatForm->Targets[0] = "x";
        WhatForm->Targets[1] = "/nonexistent-folder/none.txt";
        Choose(WhatForm->N7);
        QVERIFY(f.ExpectBoxes({ErrorBox(FromUtf8("不正なﾌｧｲﾙ名です."))}));
        QVERIFY(ResultForm->isVisible());
        QVERIFY(!WhatForm->isVisible());
        QCOMPARE(ResultForm->Memo1->ToPlainText(), QStringLiteral("Memo1"));
        QVERIFY(!ResultForm->ResultsCurrent);
    }

    void helpIsLookedUpBesideTheExecutableThenUnderShare() {
        UiFixture f;
        const QDir programDir(QCoreApplication::applicationDirPath());
        const QString beside = programDir.filePath(QStringLiteral("Norvane.html"));
        const QString installedDir = QDir::cleanPath(programDir.filePath(QStringLiteral("../share/norvane")));
        const QString installed = installedDir + QStringLiteral("/Norvane.html");
        auto write = [](const QString& path, const char* title) {
            QFile help(path);
            QVERIFY(help.open(QIODevice::WriteOnly));
            help.write(QByteArray("<html><body><h1>") + title + "</h1></body></html>");
        };
        QFile::remove(beside);
        QFile::remove(installed);
        QVERIFY(QDir().mkpath(installedDir));

        // Neither: the box names the installed place, the last one looked at.
        Choose(WhatForm->Help1);
        const QString notFound = FromUtf8("ヘルプ ファイル %1 が見つかりません。").arg(installed);
        QVERIFY(f.ExpectBoxes({{notFound, FromUtf8("ヘルプ"), BoxOwner::None}}));
        QVERIFY(!HelpViewer::Window());

        // Only the installed one.
        write(installed, "目次 share");
        Choose(ResultForm->Help1);
        QVERIFY(HelpViewer::Window() && HelpViewer::Window()->isVisible());
        QCOMPARE(HelpViewer::Window()->source().toLocalFile(), installed);
        QVERIFY(HelpViewer::Window()->toPlainText().contains(QStringLiteral("目次 share")));

        // Both: the one beside the executable wins.
        write(beside, "目次 beside");
        Choose(WhatForm->Help1);
        QCOMPARE(HelpViewer::Window()->source().toLocalFile(), beside);
        QVERIFY(HelpViewer::Window()->toPlainText().contains(QStringLiteral("目次 beside")));
        QCOMPARE(f.boxes.size(), std::size_t(1));

        QFile::remove(beside);
        QDir(installedDir).removeRecursively();
    }
};

QTEST_MAIN(ProgramTest)
#include "program_test.moc"
