// The local search window: the local listing of the viewed file, typed text
// the code page can't hold, file errors, cancel and exit.
#include "ui/LocalSrch.h"
#include "core/output/listing_lines.h"
#include "ui/RESULT.h"
#include "ui/app/application.h"
#include "ui/listing_box/editable_listing_box.h"
#include "ui/listing_box/listing_view.h"
#include "ui_fixture.h"
#include "window_data.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

using namespace ui;
using namespace testing_ui;

namespace {

// Types Japanese text into the search box: through a key event carrying the
// text, or as the commit of an input method.
void TypeByKey(const QString& text) {
    QTest::sendKeyEvent(QTest::Click, LocalSrchForm->Edit1, Qt::Key_unknown, text, Qt::NoModifier);
}
void TypeByInputMethod(const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(LocalSrchForm->Edit1, &event);
}

}  // namespace

class LocalSrchTest : public QObject {
    Q_OBJECT

    TestFiles files;
    std::string local;

private slots:
    void initTestCase() {
        Application::Init(QStringLiteral("/opt/norvane/bin/Norvane"));
        local = files.Write("local.txt", Sj("　港の朝\r\n古い港\r\n町の灯\r\nなにもない\r\n"));
    }

    void listsTheLinesOfTheViewedFileAsRead() {
        UiFixture f;
        QVERIFY(LocalSrchForm->Edit1->text().isEmpty() && LocalSrchForm->Memo1->ToPlainText().isEmpty());
        ResultForm->CurrentFile = local;
        LocalSrchForm->show();
        TypeByKey(FromUtf8("港町"));
        QCOMPARE(LocalSrchForm->Edit1->text(), FromUtf8("港町"));
        Choose(LocalSrchForm->Find1);
        // The match runs on into line 3; it is listed under line 2.
        QCOMPARE(LocalSrchForm->Memo1->ToPlainText(), FromUtf8("00002: 古い港\n\n"));
        Choose(LocalSrchForm->Find1);
        QCOMPARE(LocalSrchForm->Memo1->ToPlainText(), FromUtf8("00002: 古い港\n\n"));  // nothing accumulates

        LocalSrchForm->Edit1->clear();
        TypeByInputMethod(FromUtf8("港"));
        QTest::keyClick(LocalSrchForm->Edit1, Qt::Key_Return);  // Enter searches too
        QCOMPARE(LocalSrchForm->Memo1->ToPlainText(), FromUtf8("00001: 　港の朝\n00002: 古い港\n\n"));

        LocalSrchForm->Edit1->clear();
        Choose(LocalSrchForm->Find1);
        QCOMPARE(LocalSrchForm->Memo1->ToPlainText(), QStringLiteral("\n"));  // one empty line
        QVERIFY(f.boxes.empty());
        LocalSrchForm->hide();
    }

    // The local search box pastes as the setup window's does.
    void aPasteIsOneLineAndNeverHoldsANul() {
        UiFixture f;
        ResultForm->CurrentFile = local;
        LocalSrchForm->show();
        QGuiApplication::clipboard()->setText(FromUtf8("古い港\r\n　町"));
        LocalSrchForm->Edit1->setFocus();
        QTest::keyClick(LocalSrchForm->Edit1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(LocalSrchForm->Edit1->text(), FromUtf8("古い港町"));
        QGuiApplication::clipboard()->setText(QStringLiteral("a") + QChar(0));
        QTest::keyClick(LocalSrchForm->Edit1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(LocalSrchForm->Edit1->text(), FromUtf8("古い港町"));
        QVERIFY(f.ExpectBoxes(
            {CautionBox(FromUtf8("貼り付ける文字列に NUL 文字 (文字コード 0) があるので、貼り付けません。"),
                        BoxOwner::Application)}));
        Choose(LocalSrchForm->Exit1);
    }

    void textTheCodePageCannotHoldIsNeverSearched() {
        UiFixture f;
        ResultForm->CurrentFile = local;
        LocalSrchForm->Memo1->SetListing(core::ListingLines("kept"));
        LocalSrchForm->Edit1->setText(FromUtf8("港𠮷"));
        Choose(LocalSrchForm->Find1);
        const QString unheld = FromUtf8("検索語句の「𠮷」はシフトJISにない文字なので検索できません。");
        QVERIFY(f.ExpectBoxes({CautionBox(unheld, BoxOwner::Application)}));
        QCOMPARE(LocalSrchForm->Memo1->ToPlainText(), QStringLiteral("kept"));
    }

    void aFileErrorGoesToTheErrorDisplayAndKeepsTheListing() {
        UiFixture f;
        LocalSrchForm->Memo1->SetListing(core::ListingLines("kept"));
        LocalSrchForm->Edit1->setText(QStringLiteral("x"));
        ResultForm->CurrentFile = files.Path("gone.txt");
        Choose(LocalSrchForm->Find1);
        ResultForm->CurrentFile.clear();  // never standard input
        Choose(LocalSrchForm->Find1);
        QVERIFY(f.ExpectBoxes({ErrorBox(FromUtf8("ﾌｧｲﾙが見つかりません.")), ErrorBox(FromUtf8("不正なﾌｧｲﾙ名です."))}));
        QCOMPARE(LocalSrchForm->Memo1->ToPlainText(), QStringLiteral("kept"));
    }

    void cancelAndExitEmptyBothBoxes() {
        UiFixture f;
        LocalSrchForm->show();
        LocalSrchForm->Edit1->setText(QStringLiteral("x"));
        // The box is editable: typing turns it into an editor at the caret.
        EditableListingBox* box = LocalSrchForm->Memo1;
        box->SetListing(core::ListingLines("00001: y\r\n\r\n"));
        box->View->SetSelection({0, 7}, {0, 8});
        // Each key goes where the focus is: the view first, the editor after.
        const auto focused = [box]() -> QWidget* {
            return box->IsEditing() ? static_cast<QWidget*>(box->Editor) : box->View;
        };
        for (const char c : {'a', 'b'}) QTest::keyClick(focused(), c);
        QTest::keyClick(focused(), Qt::Key_Return);
        QVERIFY(box->IsEditing());
        QCOMPARE(box->ToPlainText(), QStringLiteral("00001: ab\n\n\n"));
        // Alt with a letter is the menus', in both boxes and in the editor.
        for (QWidget* target : {static_cast<QWidget*>(box->Editor), static_cast<QWidget*>(LocalSrchForm->Edit1)}) {
            QTest::keyClick(target, 'z', Qt::AltModifier);
        }
        QCOMPARE(box->ToPlainText(), QStringLiteral("00001: ab\n\n\n"));
        QCOMPARE(LocalSrchForm->Edit1->text(), QStringLiteral("x"));
        Choose(LocalSrchForm->N1);
        QVERIFY(LocalSrchForm->Edit1->text().isEmpty() && box->ToPlainText().isEmpty() && !box->IsEditing());
        QVERIFY(LocalSrchForm->isVisible());
        LocalSrchForm->Edit1->setText(QStringLiteral("x"));
        box->SetListing(core::ListingLines("y"));
        Choose(LocalSrchForm->Exit1);
        QVERIFY(LocalSrchForm->Edit1->text().isEmpty() && LocalSrchForm->Memo1->ToPlainText().isEmpty());
        QVERIFY(!LocalSrchForm->isVisible());
    }
};

QTEST_MAIN(LocalSrchTest)
#include "localsrch_test.moc"
