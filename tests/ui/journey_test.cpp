// One search from the setup window through the result window, the viewer and
// the local search window, and back.
#include "ui/LocalSrch.h"
#include "ui/RESULT.h"
#include "ui/TEXTVIEW.h"
#include "ui/WHAT.h"
#include "ui/app/application.h"
#include "ui/browser/file_list_box.h"
#include "ui/listing_box/editable_listing_box.h"
#include "ui_fixture.h"
#include "what_scene.h"
#include "window_data.h"

#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QtTest>

using namespace ui;
using namespace testing_ui;
using testing_what::ClickFile;
using testing_what::Scene;
using testing_what::TypeText;

class JourneyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Application::Init(QStringLiteral("/opt/norvane/bin/Norvane")); }

    void fromSetupToLocalSearchAndBack() {
        UiFixture f;
        TestFiles files;
        const std::string tabi = files.Write("tabi.txt", Sj("春の港町\r\n二行目\r\n"));
        std::string umiText;
        for (int i = 1; i <= 1200; ++i) umiText += (i == 1100 ? Sj("港町の灯") : "umi " + std::to_string(i)) + "\r\n";
        const std::string umi = files.Write("umi.txt", umiText);

        SetSearch("港町", {tabi, umi});
        WhatForm->show();
        Choose(WhatForm->N7);
        QVERIFY(ResultForm->isVisible() && !WhatForm->isVisible());

        SelectLineByKeys(ResultForm->Memo1, LineStartingWith(ResultForm->Memo1, QString::fromStdString(umi) + " *"));

        struct Seen {
            bool modal = false, resultDisabledBehind = false;
            QString title, range2First, listing;
            int red1100 = 0;
            bool localModal = false, localEmptyAfter = false;
        } seen;
        WhenModal([&] {
            seen.modal = TextViewForm->isVisible() && TextViewForm->windowModality() == Qt::ApplicationModal;
            seen.resultDisabledBehind = QApplication::activeModalWidget() == TextViewForm;
            seen.title = TextViewForm->windowTitle();
            Choose(TextViewForm->RangeItems[1]);
            seen.range2First = TextViewForm->RichEdit1->document()->firstBlock().text();
            seen.red1100 = ColourOf(TextViewForm->RichEdit1, 99).red;
            WhenModal([&] {
                seen.localModal = QApplication::activeModalWidget() == LocalSrchForm;
                QTest::sendKeyEvent(QTest::Click, LocalSrchForm->Edit1, Qt::Key_unknown, FromUtf8("灯"),
                                    Qt::NoModifier);
                Choose(LocalSrchForm->Find1);
                seen.listing = LocalSrchForm->Memo1->ToPlainText();
                Choose(LocalSrchForm->Exit1);
            });
            Choose(TextViewForm->N10);
            seen.localEmptyAfter = !LocalSrchForm->isVisible() && LocalSrchForm->Memo1->ToPlainText().isEmpty();
            Choose(TextViewForm->N5);
        });
        Choose(ResultForm->N5);

        QVERIFY(seen.modal);
        QVERIFY(seen.resultDisabledBehind);
        QCOMPARE(seen.title, FromUtf8("全文表示 ⇒　") + QString::fromStdString(umi));
        QCOMPARE(seen.range2First, QStringLiteral("01001: umi 1001"));
        QCOMPARE(seen.red1100, static_cast<int>(FromUtf8("01100: 港町の灯").size()));
        QVERIFY(seen.localModal);
        // Labels are the file's own line numbers, whatever range the viewer shows.
        QCOMPARE(seen.listing, FromUtf8("01100: 港町の灯\n\n"));
        QVERIFY(seen.localEmptyAfter);
        QVERIFY(!TextViewForm->isVisible());
        QVERIFY(ResultForm->isVisible());
        QCOMPARE(ResultForm->CurrentIndex, 2);

        Choose(ResultForm->N3);
        QVERIFY(!ResultForm->isVisible() && WhatForm->isVisible());
        // Back again: the listing is kept and not searched anew.
        const std::string listing = ResultForm->ListingBytes();
        Choose(WhatForm->N7);
        QCOMPARE(ResultForm->ListingBytes(), listing);
        QVERIFY(f.boxes.empty());
    }

    // Files of today in one run: UTF-8 with LF line ends, EUC-JP, UTF-16,
    // Shift-JIS and a name the code page lacks a character of, picked in the
    // file list; the viewer shows the UTF-8 file's own text with its hit
    // lines red, every line drawn, and copies what it shows; the local
    // search reads it as UTF-8 too.
    void filesOfTodayInOneRun() {
        Scene scene;
        std::u32string text;
        for (int i = 1; i <= 600; ++i) {
            text += i == 3 || i == 580 ? std::u32string(U"港町の灯がともる")
                                       : U"しずかな海辺の道を歩く " + platform::DecodeUtf8Lossy(std::to_string(i));
            text += U"\r\n";
        }
        const std::string utf8 = platform::EncodeUtf8(text);
        std::string lf = utf8;
        std::erase(lf, '\r');
        std::string utf16 = "\xFF\xFE";
        for (const char32_t c : text) utf16 += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        const std::vector<std::pair<std::string, std::string>> files = {
            {"unix.txt", lf},
            {"euc.txt", *platform::Utf8ToEncoding(platform::EucJp(), utf8)},
            {"wide.txt", utf16},
            {"sjis.txt", *platform::EncodeCodePage(text)},
            {"caf\xC3\xA9.txt", *platform::EncodeCodePage(text)}};
        scene.Folder("today");
        for (const auto& [name, bytes] : files) scene.Write("today/" + name, bytes);

        UiFixture f;
        testing_what::ShowWindow();
        WhatForm->FileListBox1->SetDirectory(scene.Path("today"));
        for (const auto& file : files) ClickFile(file.first);
        TypeText(WhatForm->Edit1, "港町");
        Choose(WhatForm->N1);
        QVERIFY(ResultForm->isVisible());

        // Every file lists lines 3 and 580, in code page 932.
        ListingView* box = ResultForm->Memo1;
        for (std::size_t k = 0; k < files.size(); ++k) {
            const int header = LineStartingWith(box, ToQString(WhatForm->Targets[k + 1]) + QStringLiteral(" *"));
            QVERIFY2(header >= 0, files[k].first.c_str());
            QCOMPARE(box->LineText(static_cast<std::size_t>(header) + 1), FromUtf8("00003: 港町の灯がともる"));
            QCOMPARE(box->LineText(static_cast<std::size_t>(header) + 2), FromUtf8("00580: 港町の灯がともる"));
        }
        QVERIFY(ResultForm->Memo1->ToPlainText().contains(FromUtf8("/caf〓.txt *05")));

        SelectLineByKeys(box, LineStartingWith(box, ToQString(WhatForm->Targets[1]) + QStringLiteral(" *")));
        struct Seen {
            QString first, third, copied, local;
            int red3 = 0, red1 = 0, last = -1;
        } seen;
        WhenModal([&] {
            QTextEdit* edit = TextViewForm->RichEdit1;
            seen.first = edit->document()->firstBlock().text();
            seen.third = edit->document()->findBlockByNumber(2).text();
            seen.red3 = ColourOf(edit, 2).red;
            seen.red1 = ColourOf(edit, 0).red;
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
            seen.last = LastDrawnBlock(edit);
            QTextCursor line(edit->document()->findBlockByNumber(2));
            line.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            edit->setTextCursor(line);
            Choose(TextViewForm->N2);
            seen.copied = QGuiApplication::clipboard()->text();
            WhenModal([&] {
                TypeText(LocalSrchForm->Edit1, "灯");
                Choose(LocalSrchForm->Find1);
                seen.local = LocalSrchForm->Memo1->ToPlainText();
                Choose(LocalSrchForm->Exit1);
            });
            Choose(TextViewForm->N10);
            Choose(TextViewForm->N5);
        });
        Choose(ResultForm->N5);

        QCOMPARE(seen.first, FromUtf8("00001: しずかな海辺の道を歩く 1"));
        QCOMPARE(seen.third, FromUtf8("00003: 港町の灯がともる"));
        QCOMPARE(seen.red3, static_cast<int>(seen.third.size()));
        QCOMPARE(seen.red1, 0);
        QCOMPARE(seen.last, 499);  // lines 1 to 500: the last one drawn after Ctrl+End
        QCOMPARE(seen.copied, seen.third);
        QCOMPARE(seen.local, FromUtf8("00003: 港町の灯がともる\n00580: 港町の灯がともる\n\n"));
        QVERIFY(f.boxes.empty());
    }
};

QTEST_MAIN(JourneyTest)
#include "journey_test.moc"
