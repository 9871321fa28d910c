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
#include <QScrollBar>
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
        // The box is editable where it shows the listing.
        EditableListingBox* box = LocalSrchForm->Memo1;
        box->SetListing(core::ListingLines("00001: y\r\n\r\n"));
        box->SetSelection({0, 7}, {0, 8});
        for (const char c : {'a', 'b'}) QTest::keyClick(box, c);
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(box->IsEdited());
        QCOMPARE(box->ToPlainText(), QStringLiteral("00001: ab\n\n\n"));
        // Alt with a letter is the menus', in both boxes.
        for (QWidget* target : {static_cast<QWidget*>(box), static_cast<QWidget*>(LocalSrchForm->Edit1)}) {
            QTest::keyClick(target, 'z', Qt::AltModifier);
        }
        QCOMPARE(box->ToPlainText(), QStringLiteral("00001: ab\n\n\n"));
        QCOMPARE(LocalSrchForm->Edit1->text(), QStringLiteral("x"));
        Choose(LocalSrchForm->N1);
        QVERIFY(LocalSrchForm->Edit1->text().isEmpty() && box->ToPlainText().isEmpty() && !box->IsEdited());
        QVERIFY(LocalSrchForm->isVisible());
        LocalSrchForm->Edit1->setText(QStringLiteral("x"));
        box->SetListing(core::ListingLines("y"));
        Choose(LocalSrchForm->Exit1);
        QVERIFY(LocalSrchForm->Edit1->text().isEmpty() && LocalSrchForm->Memo1->ToPlainText().isEmpty());
        QVERIFY(!LocalSrchForm->isVisible());
    }

    // The first key and the input method's first keystroke go into the box
    // where it stands, as the next ones do: the view neither moves nor hands
    // the focus on (which would make the input method drop what it composes).
    // Undo, redo, cut and paste work over the edits.
    void theListingIsEditedWhereItShowsFromTheFirstKey() {
        UiFixture f;
        LocalSrchForm->show();
        EditableListingBox* box = LocalSrchForm->Memo1;
        std::string listing;
        for (int i = 1; i <= 300; ++i)
            listing += QStringLiteral("%1: line %1\r\n").arg(i, 5, 10, QLatin1Char('0')).toStdString();
        box->SetListing(core::ListingLines(listing));
        box->setFocus();
        QVERIFY(box->testAttribute(Qt::WA_InputMethodEnabled) &&
                static_cast<QWidget*>(box)->inputMethodQuery(Qt::ImEnabled).toBool());
        QTest::keyClick(box, Qt::Key_PageDown);
        QTest::keyClick(box, Qt::Key_PageDown);
        const std::size_t top = box->TopLine();
        QVERIFY(top > 0);
        QPoint ninth;
        for (int y = 0; y < box->viewport()->height() && ninth.isNull(); ++y) {
            if (box->PositionAt(QPoint(200, y)).line == top + 8) ninth = QPoint(200, y + 3);
        }
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, ninth);
        const ListingView::Position at = box->Caret();
        QCOMPARE(at, (ListingView::Position{top + 8, static_cast<int>(box->LineText(top + 8).size())}));
        QTest::keyClick(box, 'Q');
        QCOMPARE(box->TopLine(), top);
        QCOMPARE(box->LineText(top + 8), box->LineText(top + 8).left(at.unit) + QStringLiteral("Q"));

        // "kanji" as an input method sends it, composed then committed, into
        // a box not yet edited.
        box->SetListing(core::ListingLines(listing));
        box->SetSelection({top + 8, at.unit}, {top + 8, at.unit});
        const std::size_t shownTop = box->TopLine();
        const auto send = [box](const QString& preedit, const QString& commit) {
            QInputMethodEvent event(preedit, {});
            event.setCommitString(commit);
            QApplication::sendEvent(box, &event);
        };
        send(QStringLiteral("k"), {});
        QCOMPARE(LocalSrchForm->focusWidget(), box);
        const QString before = box->LineText(top + 8);
        QCOMPARE(box->LineText(top + 8), before);  // composed text is not yet text
        for (const char* composed : {"か", "かn", "かん", "かんj", "かんじ"}) send(FromUtf8(composed), {});
        send({}, FromUtf8("かんじ"));
        QCOMPARE(box->LineText(top + 8), before + FromUtf8("かんじ"));
        QTest::keyClick(box, 'Q');
        QCOMPARE(box->TopLine(), shownTop);
        QCOMPARE(LocalSrchForm->focusWidget(), box);

        // What was typed in one go is one step of undo, as in a plain text
        // editor; redo brings it back.
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->LineText(top + 8), before);
        QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(box->LineText(top + 8), before + FromUtf8("かんじQ"));
        // Undone and redone where the view has scrolled away, the edit comes
        // back into view, as in a plain text editor.
        for (const Qt::Key key : {Qt::Key_Z, Qt::Key_Y}) {
            box->verticalScrollBar()->setValue(0);
            QCOMPARE(box->TopLine(), std::size_t{0});
            QTest::keyClick(box, key, Qt::ControlModifier);
            QVERIFY(box->TopLine() > 0 && box->TopLine() <= top + 8);
        }

        // Cut two lines and their ends, paste them back with CR LF ends; Return
        // splits a line and Backspace joins it again.
        box->SetSelection({top + 1, 0}, {top + 3, 0});
        const QString two = box->LineText(top + 1) + QLatin1Char('\n') + box->LineText(top + 2) + QLatin1Char('\n');
        const QString whole = box->ToPlainText();
        QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), two);
        QCOMPARE(box->LineCount(), std::size_t{299});
        QGuiApplication::clipboard()->setText(QString(two).replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->ToPlainText(), whole);
        box->SetSelection({2, 3}, {2, 3});
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->LineText(2), QStringLiteral("000"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->ToPlainText(), whole);
        QTest::keyClick(box, Qt::Key_Tab);  // text here, as in a plain text editor
        QCOMPARE(box->LineText(2), QStringLiteral("000\t") + whole.section(QLatin1Char('\n'), 2, 2).mid(3));
        QCOMPARE(LocalSrchForm->focusWidget(), box);
        QVERIFY(f.boxes.empty());
        LocalSrchForm->hide();
    }
};

QTEST_MAIN(LocalSrchTest)
#include "localsrch_test.moc"
