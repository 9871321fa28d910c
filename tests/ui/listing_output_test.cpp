// Saving and printing the result listing: the file name dialog, the save,
// the display lines and the print command's messages.
#include "core/output/text_device.h"
#include "ui/RESULT.h"
#include "ui/WHAT.h"
#include "ui/app/application.h"
#include "ui/dialogs/input_query.h"
#include "ui/listing_box/display_lines.h"
#include "ui/output/print_destination.h"
#include "ui/run/background_run.h"
#include "ui/run/progress_window.h"
#include "ui_fixture.h"
#include "window_data.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QtTest>

#include <atomic>
#include <functional>
#include <memory>

using namespace ui;
using namespace testing_ui;
using namespace std::chrono_literals;

namespace {

// Chooses the save command and lets answer handle the dialog.
void Save(const std::function<void(InputQueryDialog&)>& answer) {
    bool seen = false;
    WhenModal([&] {
        auto* dialog = dynamic_cast<InputQueryDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen = true;
        answer(*dialog);
        if (dialog->isVisible()) dialog->reject();  // a failed check inside answer
    });
    Choose(ResultForm->N4);
    QVERIFY(seen);
}

void SaveAs(const QString& name) {
    Save([&](InputQueryDialog& d) {
        d.Edit->setText(name);
        d.OkButton->click();
    });
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A PDF file that appears under its name only when delivered; newPage()
// fails from page failAt on.
class PdfDestination : public PrintDestination {
public:
    explicit PdfDestination(QString path, int failAt = 0) : path_(std::move(path)), printer_(failAt) {
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(path_ + QStringLiteral(".part.pdf"));
    }
    ~PdfDestination() override { QFile::remove(path_ + QStringLiteral(".part.pdf")); }
    QPrinter& Printer() override { return printer_; }
    void Deliver() override { QFile::rename(path_ + QStringLiteral(".part.pdf"), path_); }

private:
    struct FailingPrinter : QPrinter {
        explicit FailingPrinter(int failAt) : QPrinter(QPrinter::HighResolution), failAt(failAt) {}
        bool newPage() override { return (failAt == 0 || ++page + 1 < failAt) && QPrinter::newPage(); }
        int failAt, page = 0;
    };
    QString path_;
    FailingPrinter printer_;
};

// A PDF destination that tells whether it was delivered and dropped.
class WatchedDestination : public PdfDestination {
public:
    struct Fate {
        std::atomic<bool> delivered{false}, dropped{false};
    };
    WatchedDestination(QString path, std::shared_ptr<Fate> fate) : PdfDestination(std::move(path)), fate_(fate) {}
    ~WatchedDestination() override { fate_->dropped = true; }
    void Deliver() override {
        PdfDestination::Deliver();
        fate_->delivered = true;
    }

private:
    std::shared_ptr<Fate> fate_;
};

int PdfPages(const QByteArray& pdf) { return int(pdf.count("/Type /Page") - pdf.count("/Type /Pages")); }

std::string Lines(int count) {
    std::string listing;
    for (int i = 1; i <= count; ++i) listing += "line " + std::to_string(i) + "\r\n";
    return listing;
}

}  // namespace

class ListingOutputTest : public QObject {
    Q_OBJECT

    QTemporaryDir home, work;
    QString Work(const QString& name) const { return work.filePath(name); }
    QString Error(const QString& path) const { return FromUtf8("ﾌｧｲﾙ ") + path + FromUtf8(" を作成できません."); }

private slots:
    void initTestCase() {
        Application::Init(QStringLiteral("/opt/norvane/bin/Norvane"));
        // The default listing file lives in the home folder: keep it out of the real one.
        qputenv("HOME", home.path().toUtf8());
    }

    void cleanup() { SetPrintDestinationMaker({}); }

    void dialogIsLaidOutInDialogUnits() {
        InputQueryDialog dialog(FromUtf8("出力ﾌｧｲﾙ名の入力"), FromUtf8("ファイル名を確認、または修正してください。"),
                                QStringLiteral("/home/x/IFOUND.TXT"));
        const QFont font = dialog.font();
        QVERIFY(QStringList({FromUtf8("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")})
                    .contains(QFontInfo(font).family()));
        QCOMPARE(font.pointSize(), 9);
        const double average = QFontMetricsF(font).horizontalAdvance(
                                   QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                               52;
        const int height = QFontMetrics(font).height();
        auto x = [&](int u) { return qRound(u * average / 4); };
        auto y = [&](int u) { return qRound(u * height / 8.0); };

        QCOMPARE(dialog.size(), QSize(x(180), y(63)));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(dialog.Prompt->geometry(), QRect(QPoint(x(8), y(8)), dialog.Prompt->sizeHint()));
        QCOMPARE(dialog.Edit->geometry(), QRect(x(8), y(19), x(164), dialog.Edit->sizeHint().height()));
        QCOMPARE(dialog.OkButton->geometry(), QRect(x(38), y(41), x(50), y(14)));
        QCOMPARE(dialog.CancelButton->geometry(), QRect(x(92), y(41), x(50), y(14)));
        QCOMPARE(dialog.Edit->maxLength(), 255);
        QCOMPARE(dialog.Edit->selectedText(), QStringLiteral("/home/x/IFOUND.TXT"));
        QVERIFY(dialog.OkButton->isDefault() && !dialog.CancelButton->isDefault());
        QCOMPARE(dialog.CancelButton->text(), FromUtf8("ｷｬﾝｾﾙ"));
    }

    void saveWritesEveryByteOfTheListing() {
        UiFixture f;
        // Right after start-up the listing is "Memo1" (showing the window would
        // search). The dialog offers the default file, centred; Enter is OK.
        const QString path = QDir(home.path()).filePath(QStringLiteral("IFOUND.TXT"));
        Save([&](InputQueryDialog& d) {
            QCOMPARE(d.windowTitle(), FromUtf8("出力ﾌｧｲﾙ名の入力"));
            QCOMPARE(d.Edit->selectedText(), path);
            const QPoint centre = QGuiApplication::primaryScreen()->geometry().center();
            QVERIFY((d.geometry().center() - centre).manhattanLength() <= 2);
            QTest::keyClick(d.Edit, Qt::Key_Return);
        });
        QCOMPARE(ReadFile(path), QByteArray("Memo1"));

        // A relative path starts at the current folder.
        const QString before = QDir::currentPath();
        QDir::setCurrent(work.path());
        Save([](InputQueryDialog& d) {
            d.Edit->clear();
            QTest::keyClicks(d.Edit, QStringLiteral("relative.txt"));
            d.OkButton->click();
        });
        QDir::setCurrent(before);
        QCOMPARE(ReadFile(Work(QStringLiteral("relative.txt"))), QByteArray("Memo1"));

        // A search over the samples, saved over the earlier file: byte for byte.
        const std::string samples = NORVANE_SAMPLES_DIR;
        SetSearch("港町", {samples + "/memo_lf.txt", samples + "/tabi.txt", samples + "/umi.txt"});
        Choose(WhatForm->N7);
        const std::string& listing = ResultForm->ListingBytes();
        QVERIFY(listing.size() > 200);
        SaveAs(Work(QStringLiteral("relative.txt")));
        QCOMPARE(ReadFile(Work(QStringLiteral("relative.txt"))), QByteArray::fromStdString(listing));

        // A NUL byte is written, and so is everything after it.
        ResultForm->SetListing(std::string("a\0b\r\nafter\r\n", 12));
        SaveAs(Work(FromUtf8("結果.txt")));
        QCOMPARE(ReadFile(Work(FromUtf8("結果.txt"))), QByteArray("a\0b\r\nafter\r\n", 12));
        QVERIFY(f.boxes.empty());
    }

    void cancellingSavesNothing() {
        UiFixture f;
        const QString path = QDir(home.path()).filePath(QStringLiteral("IFOUND.TXT"));
        QFile::remove(path);
        Save([](InputQueryDialog& d) { d.CancelButton->click(); });
        Save([](InputQueryDialog& d) { QTest::keyClick(d.Edit, Qt::Key_Escape); });
        Save([](InputQueryDialog& d) { d.close(); });
        Save([&](InputQueryDialog& d) {
            d.Edit->setText(Work(QStringLiteral("typed.txt")));
            d.CancelButton->click();
        });
        QVERIFY(!QFile::exists(path));
        QVERIFY(!QFile::exists(Work(QStringLiteral("typed.txt"))));
        QVERIFY(f.boxes.empty());
    }

    // The default file is replaced again and again without a word; a file
    // being searched, under any name that reaches it, never.
    void savingOverATargetIsRefusedAndSavesNothing() {
        UiFixture f;
        std::string text;
        for (int i = 1; i <= 500; ++i) text += Sj(i % 50 == 0 ? "港町の朝\r\n" : "静かな海\r\n");
        const auto write = [&](const QString& name) {
            QFile file(Work(name));
            if (!file.open(QIODevice::WriteOnly)) return std::string();
            file.write(text.data(), qint64(text.size()));
            return Work(name).toStdString();
        };
        const std::string a = write(QStringLiteral("a.txt")), b = write(QStringLiteral("b.txt"));
        const std::string inGrid = write(QStringLiteral("grid.txt"));
        QVERIFY(QFile::link(QString::fromStdString(b), Work(QStringLiteral("link.txt"))));
        SetSearch("港町", {a, b});
        ResultForm->ResultsCurrent = false;
        Choose(WhatForm->N7);
        WhatForm->GridRows.Add(inGrid);  // picked since, not yet searched
        const QString fallback = QDir(home.path()).filePath(QStringLiteral("IFOUND.TXT"));
        QFile::remove(fallback);

        QDir(work.path()).mkdir(QStringLiteral("sub"));
        const QStringList filesBefore = QDir(work.path()).entryList(QDir::Files | QDir::Hidden);
        const QString before = QDir::currentPath();
        QDir::setCurrent(work.path());
        const QStringList refused{QString::fromStdString(a), Work(QStringLiteral("link.txt")),
                                  QStringLiteral("./b.txt"), Work(QStringLiteral("sub/../grid.txt"))};
        for (const QString& name : refused) SaveAs(name);
        Save([](InputQueryDialog& d) { d.OkButton->click(); });  // the default, twice
        Save([](InputQueryDialog& d) { d.OkButton->click(); });
        QDir::setCurrent(before);

        std::vector<ExpectedBox> expected;
        for (const QString& name : refused) {
            expected.push_back(CautionBox(FromUtf8("ﾌｧｲﾙ ") + name + FromUtf8(" は検索対象なので出力先にできません"),
                                          BoxOwner::Application));
        }
        QVERIFY(f.ExpectBoxes(expected));
        for (const std::string& path : {a, b, inGrid}) {
            QCOMPARE(ReadFile(QString::fromStdString(path)), QByteArray::fromStdString(text));
        }
        QVERIFY(QFileInfo(Work(QStringLiteral("link.txt"))).isSymLink());
        QCOMPARE(ReadFile(fallback), QByteArray::fromStdString(ResultForm->ListingBytes()));
        QCOMPARE(QDir(work.path()).entryList(QDir::Files | QDir::Hidden), filesBefore);  // nothing left beside
        WhatForm->GridRows.Clear();
    }

    void saveFailuresReachTheErrorDisplayAndKeepTheEarlierFile() {
        UiFixture f;
        const QString missing = Work(QStringLiteral("missing/IFOUND.TXT"));
        SaveAs(missing);
        SaveAs(QString());
        SaveAs(Work(FromUtf8("ö 한.txt")));  // a name the code page can't write is saved all the same
        const QString kept = Work(QStringLiteral("kept.txt"));
        QFile file(kept);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("earlier") == 7);
        file.close();
        QFile::setPermissions(kept, QFileDevice::ReadOwner);
        SaveAs(kept);

        QVERIFY(f.ExpectBoxes({ErrorBox(Error(missing)), ErrorBox(Error(QString())), ErrorBox(Error(kept))}));
        QCOMPARE(ReadFile(kept), QByteArray("earlier"));
        QVERIFY(!QDir(Work(QStringLiteral("missing"))).exists());
        QCOMPARE(ReadFile(Work(FromUtf8("ö 한.txt"))), QByteArray::fromStdString(ResultForm->ListingBytes()));
    }

    void displayLinesAreTheLinesAsTheBoxWrapsThem() {
        UiFixture f;
        ResultForm->show();
        const std::string longLine = Sj(std::string(200, 'x') + "港町" + std::string(50, 'y'));
        ResultForm->SetListing("short\r\n" + longLine + "\r\n\r\nlf\ninside\r\n" + std::string("nul\0end", 7) + "\r\n");
        const std::vector<std::string> lines = DisplayLines(*ResultForm->Memo1);
        QCOMPARE(lines.front(), std::string("short"));
        // The long line wraps; its display lines together are its bytes.
        std::size_t i = 1;
        std::string joined;
        while (i < lines.size() && !lines[i].empty()) joined += lines[i++];
        QVERIFY(i >= 3);
        QCOMPARE(joined, longLine);
        // An empty line counts; a lone LF breaks its paragraph and is not printed;
        // nothing after the final line end counts.
        const std::vector<std::string> rest(lines.begin() + i, lines.end());
        QCOMPARE(rest, (std::vector<std::string>{"", "lf", "inside", std::string("nul\0end", 7)}));

        // A line the box cuts prints its mark; no display line passes 4096 bytes.
        ResultForm->SetListing(std::string(9000, 'z') + "\r\n");
        std::string all;
        for (const std::string& line : DisplayLines(*ResultForm->Memo1)) {
            QVERIFY(line.size() <= core::kMaxDisplayLine);
            all += line;
        }
        QCOMPARE(all, std::string(4096, 'z') + Sj("…(以下省略)"));
    }

    // A print runs with the search's progress window: pages printed of
    // pages, and キャンセル or Esc end the job at once, nothing delivered and
    // the spool dropped; the next print runs whole.
    void aPrintShowsItsPagesAndStopsOnCancel() {
        UiFixture f;
        ResultForm->show();
        ResultForm->SetListing(Lines(20000));
        SetRunTimingForTests(0ms);
        int total = -1;
        for (const bool byButton : {false, true}) {
            const QString pdf = Work(QStringLiteral("cancelled.pdf"));
            const auto fate = std::make_shared<WatchedDestination::Fate>();
            SetPrintDestinationMaker([&] { return std::make_unique<WatchedDestination>(pdf, fate); });
            QString caption, pages;
            QStringList buttons;
            WhenModal([&] {
                auto* window = dynamic_cast<ProgressWindow*>(QApplication::activeModalWidget());
                if (!window) return;
                caption = window->windowTitle();
                for (const QPushButton* b : window->findChildren<QPushButton*>()) buttons << b->text();
                // Once counted, the pages show as done of all.
                const QRegularExpression counted(FromUtf8("^(\\d+) / (\\d+) ページ印刷済み$"));
                QTRY_VERIFY_WITH_TIMEOUT(counted.match(window->BytesLabel->text()).hasMatch(), 60000);
                pages = window->BytesLabel->text();
                total = counted.match(pages).captured(2).toInt();
                QVERIFY(!window->FileLabel->isVisible());
                if (byButton) {
                    window->findChild<QPushButton*>()->click();
                } else {
                    QTest::keyClick(window, Qt::Key_Escape);
                }
            });
            Choose(ResultForm->Print1);
            QCOMPARE(caption, FromUtf8("印刷中"));
            QCOMPARE(buttons, QStringList{FromUtf8("キャンセル")});
            QVERIFY2(total > 100, qPrintable(pages));
            QTRY_VERIFY(fate->dropped);
            QVERIFY(!fate->delivered);
            QVERIFY(!QFile::exists(pdf) && !QFile::exists(pdf + QStringLiteral(".part.pdf")));
            QVERIFY(!RunsStillGoing());
        }
        QVERIFY(f.boxes.empty());  // a cancel is no error to show

        // Not cancelled: every page, delivered.
        const QString pdf = Work(QStringLiteral("complete.pdf"));
        SetPrintDestinationMaker([&] { return std::make_unique<PdfDestination>(pdf); });
        Choose(ResultForm->Print1);
        SetRunTimingForTests(500ms);
        QVERIFY(f.boxes.empty());
        QCOMPARE(PdfPages(ReadFile(pdf)), total);  // as many as were counted
    }

    void printMessages() {
        UiFixture f;
        ResultForm->show();
        ResultForm->SetListing(Lines(300) + "\flast\r\n");
        auto print = [](std::function<std::unique_ptr<PrintDestination>()> maker) {
            SetPrintDestinationMaker(std::move(maker));
            Choose(ResultForm->Print1);
        };
        print([] { return nullptr; });
        const QString nowhere = Work(QStringLiteral("no-such-folder/out.pdf"));
        print([&] { return std::make_unique<PdfDestination>(nowhere); });
        // An error in the middle cancels the job: no document comes out.
        const QString failed = Work(QStringLiteral("failed.pdf"));
        print([&] { return std::make_unique<PdfDestination>(failed, 2); });
        QVERIFY(f.ExpectBoxes({ErrorBox(FromUtf8("ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません.")),
                               ErrorBox(FromUtf8("選択したﾌﾟﾘﾝﾀは有効ではありません.")),
                               ErrorBox(FromUtf8("I/O ｴﾗｰ (1117)"))}));
        QVERIFY(!QFile::exists(nowhere) && !QFile::exists(failed));
        QVERIFY(!QFile::exists(failed + QStringLiteral(".part.pdf")));

        // A print started while one runs (from the progress window's loop) is
        // refused; the first goes on to the end.
        const QString pdf = Work(QStringLiteral("whole.pdf"));
        f.boxes.clear();
        bool nested = false;
        SetRunTimingForTests(0ms);  // the progress window at once: its loop runs the timer
        QTimer::singleShot(0, [&] {
            nested = true;
            Choose(ResultForm->Print1);
        });
        print([&] { return std::make_unique<PdfDestination>(pdf); });
        SetRunTimingForTests(500ms);
        QVERIFY(nested);
        QVERIFY(f.ExpectBoxes({ErrorBox(FromUtf8("印刷中."))}));
        QVERIFY(PdfPages(ReadFile(pdf)) >= 3);
    }
};

QTEST_MAIN(ListingOutputTest)
#include "listing_output_test.moc"
