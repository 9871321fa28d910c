// One search from the setup window through the result window, the viewer and
// the local search window, and back.
#include "ui/LocalSrch.h"
#include "ui/RESULT.h"
#include "ui/TEXTVIEW.h"
#include "ui/WHAT.h"
#include "ui/app/application.h"
#include "ui/listing_box/editable_listing_box.h"
#include "ui_fixture.h"
#include "window_data.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QtTest>

using namespace ui;
using namespace testing_ui;

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
};

QTEST_MAIN(JourneyTest)
#include "journey_test.moc"
