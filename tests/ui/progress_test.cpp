// Long runs: the progress window of a search, a range of the viewer and a
// local search, and its cancel, which stops a run that reads and leaves each
// window as a failed run leaves it, also while a read is stuck; no window for
// a run within the quiet time.
#include "core/errors.h"
#include "core/output/listing_lines.h"
#include "ui/LocalSrch.h"
#include "ui/RESULT.h"
#include "ui/TEXTVIEW.h"
#include "ui/WHAT.h"
#include "ui/app/application.h"
#include "ui/frame/show_modal.h"
#include "ui/listing_box/editable_listing_box.h"
#include "ui/listing_box/listing_view.h"
#include "ui/run/background_run.h"
#include "ui/run/progress_window.h"
#include "ui_fixture.h"
#include "window_data.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

using namespace ui;
using namespace testing_ui;
using namespace std::chrono_literals;

namespace {

// Stands for a read that does not return until released.
class StuckRead {
public:
    void Wait() {
        std::unique_lock lock(mutex_);
        released_.wait(lock, [this] { return free_; });
    }
    void Release() {
        {
            const std::lock_guard lock(mutex_);
            free_ = true;
        }
        released_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool free_ = false;
};

// What the progress window showed when it came up, before Esc closed it.
struct Seen {
    QString caption;
    QStringList buttons;
    bool shown = false;
};

// Answers the next progress window with Esc, noting what it showed.
void EscapeTheProgressWindow(Seen& seen) {
    WhenModal([&seen] {
        auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!window) return;
        seen.shown = window->isVisible();
        seen.caption = window->windowTitle();
        for (const QPushButton* b : window->findChildren<QPushButton*>()) seen.buttons << b->text();
        QTest::keyClick(window, Qt::Key_Escape);
    });
}

}  // namespace

class ProgressTest : public QObject {
    Q_OBJECT

    TestFiles files;
    std::string a;

private slots:
    void initTestCase() {
        Application::Init(QStringLiteral("/opt/norvane/bin/Norvane"));
        a = files.Write("a.txt", Sj("港町の朝\r\n静かな海\r\n"));
    }

    void cleanup() { SetRunTimingForTests(500ms); }

    void theWindowShowsTheFileAndTheBytesRead() {
        ProgressWindow window(nullptr, FromUtf8("検索中"), [] {
            return ProgressSnapshot{QStringLiteral("/data/umi.txt"), 3 << 19, 3 << 20, false};
        });
        QCOMPARE(window.FileLabel->text(), QStringLiteral("/data/umi.txt"));
        QCOMPARE(window.BytesLabel->text(), FromUtf8("1.5 MB / 3.0 MB 読み込み済み"));
        QCOMPARE(window.Bar->value() * 2, window.Bar->maximum());

        // A file that grew while it was read: no more than all of it.
        ProgressWindow grown(nullptr, FromUtf8("検索中"), [] {
            return ProgressSnapshot{QStringLiteral("/data/umi.txt"), 5 << 20, 3 << 20, false};
        });
        QCOMPARE(grown.BytesLabel->text(), FromUtf8("3.0 MB / 3.0 MB 読み込み済み"));
        QCOMPARE(grown.Bar->value(), grown.Bar->maximum());
    }

    // A run that is reading, not stuck, is asked to stop by キャンセル: its
    // next block is refused.
    void cancelAsksTheRunToStop() {
        SetRunTimingForTests(0ms);
        struct Reading {
            std::atomic<bool> refused{false}, giveUp{false};
        };
        const auto reading = std::make_shared<Reading>();
        // However the test ends, the run does too.
        struct EndRun {
            Reading& reading;
            ~EndRun() { reading.giveUp = true; }
        } endRun{*reading};
        WhenModal([] {
            for (QPushButton* b : QApplication::activeModalWidget()->findChildren<QPushButton*>()) {
                if (b->text() == FromUtf8("キャンセル")) QTest::mouseClick(b, Qt::LeftButton);
            }
        });
        bool cancelled = false;
        try {
            RunInBackground(nullptr, FromUtf8("検索中"), [reading](core::RunProgress& progress) {
                while (!reading->giveUp) {
                    if (!progress.Read(1)) {
                        reading->refused = true;
                        throw core::EAbort(std::string());
                    }
                    std::this_thread::yield();
                }
            });
        } catch (const core::EAbort&) {
            cancelled = true;
        }
        QVERIFY(cancelled);
        QTRY_VERIFY_WITH_TIMEOUT(reading->refused, 20000);
        QTRY_VERIFY(!RunsStillGoing());
    }

    // A run that ends within the quiet time shows no window, however much
    // longer than a cancelled run is waited for it takes. Its work waits for
    // a window to show, up to a bound well past that time: the window's loop
    // would see it at once.
    void aRunWithinTheQuietTimeShowsNoWindow() {
        SetRunTimingForTests(std::chrono::hours(1));
        struct Window {
            std::mutex mutex;
            std::condition_variable shows;
            bool shown = false;
        };
        const auto window = std::make_shared<Window>();
        QTimer::singleShot(0, [window] {
            if (!dynamic_cast<ProgressWindow*>(QApplication::activeModalWidget())) return;
            {
                const std::lock_guard lock(window->mutex);
                window->shown = true;
            }
            window->shows.notify_all();
        });
        RunInBackground(nullptr, FromUtf8("検索中"), [window](core::RunProgress&) {
            std::unique_lock lock(window->mutex);
            window->shows.wait_for(lock, 1s, [&] { return window->shown; });
        });
        QCoreApplication::processEvents();  // the check, when no window's loop ran it
        const std::lock_guard lock(window->mutex);
        QVERIFY(!window->shown);
    }

    // The window can't be minimised; when the window manager minimises it
    // all the same, the program goes with it and comes back with it. Closing
    // it (Alt+F4) still cancels.
    void theWindowStaysWithTheProgram() {
        UiFixture f;
        WhatForm->show();
        ResultForm->show();
        ProgressWindow window(WhatForm, FromUtf8("検索中"), [] { return ProgressSnapshot{}; });
        // Without a customized frame the window manager picks the buttons.
        QVERIFY(window.windowFlags() & Qt::CustomizeWindowHint);
        QVERIFY(!(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(window.parentWidget(), WhatForm);  // kept above its owner
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        window.setWindowState(Qt::WindowMinimized);  // as a window manager would
        QVERIFY(WhatForm->isMinimized() && ResultForm->isMinimized());
        ResultForm->setWindowState(Qt::WindowNoState);  // the user brings a window back
        QVERIFY(!window.isMinimized() && window.isVisible());
        QVERIFY(!WhatForm->isMinimized() && !ResultForm->isMinimized());

        window.setWindowState(Qt::WindowMinimized);
        window.setWindowState(Qt::WindowNoState);
        QVERIFY(!WhatForm->isMinimized() && !ResultForm->isMinimized());

        window.close();
        QCOMPARE(window.result(), static_cast<int>(QDialog::Rejected));
    }

    // Each run waits on a read that never returns until the test releases it:
    // cancel must not wait for it, and the windows must be left as a failed
    // run leaves them.
    void cancelLeavesEachWindowAsAFailedRunDoes() {
        UiFixture f;
        SetSearch("港町", {a});
        WhatForm->show();
        Choose(WhatForm->N7);
        const std::string listing = ResultForm->ListingBytes();
        ResultForm->CurrentFile = a;
        ResultForm->CurrentIndex = 1;

        const auto stuck = std::make_shared<StuckRead>();
        const auto stuckRuns = [stuck] { SetRunTimingForTests(0ms, [stuck] { stuck->Wait(); }); };
        stuckRuns();

        // The global search: the listing stays, the results are not current.
        Seen search;
        Choose(ResultForm->N3);
        ResultForm->ResultsCurrent = false;
        EscapeTheProgressWindow(search);
        Choose(WhatForm->N7);
        QVERIFY(search.shown);
        QCOMPARE(search.caption, FromUtf8("検索中"));
        QCOMPARE(search.buttons, QStringList{FromUtf8("キャンセル")});
        QVERIFY(RunsStillGoing());  // the stuck run was left to end alone
        QCOMPARE(ResultForm->ListingBytes(), listing);
        QVERIFY(!ResultForm->ResultsCurrent);
        QVERIFY(ResultForm->isVisible());

        // A range of the viewer: the caption changes, the text is gone; then
        // the local search keeps its listing.
        Seen range, local;
        QString title, viewerText;
        QString localText;
        SetRunTimingForTests(500ms);  // the viewer's own first range runs as usual
        WhenModal([&] {
            stuckRuns();
            EscapeTheProgressWindow(range);
            Choose(TextViewForm->RangeItems[0]);
            title = TextViewForm->windowTitle();
            viewerText = TextViewForm->RichEdit1->toPlainText();
            WhenModal([&] {
                LocalSrchForm->Memo1->SetListing(core::ListingLines("kept"));
                LocalSrchForm->Edit1->setText(QStringLiteral("x"));
                EscapeTheProgressWindow(local);
                Choose(LocalSrchForm->Find1);
                localText = LocalSrchForm->Memo1->ToPlainText();
                Choose(LocalSrchForm->Exit1);
            });
            Choose(TextViewForm->N10);
            Choose(TextViewForm->N5);
        });
        ShowModal(TextViewForm);

        QVERIFY(range.shown && local.shown);
        QCOMPARE(range.caption, FromUtf8("全文表示"));
        QCOMPARE(title, FromUtf8("全文表示 ⇒　") + QString::fromStdString(a));
        QVERIFY(viewerText.isEmpty());
        QCOMPARE(local.caption, FromUtf8("ローカル検索"));
        QCOMPARE(localText, QStringLiteral("kept"));
        QVERIFY(f.boxes.empty());  // a cancel is no error to show

        stuck->Release();
        QTRY_VERIFY(!RunsStillGoing());
    }
};

QTEST_MAIN(ProgressTest)
#include "progress_test.moc"
