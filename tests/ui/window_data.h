// Test data and widget probes shared by the result, viewer and local search
// window tests.
#pragma once

#include "platform/code_page.h"
#include "ui/WHAT.h"
#include "ui/listing_box/listing_view.h"
#include "ui/text/code_page_text.h"

#include <QColor>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QtTest>

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace testing_ui {

inline std::string Sj(std::string_view utf8) { return platform::FixedText(utf8); }

// A temporary folder of Shift-JIS files; paths are code-page bytes (ASCII here).
class TestFiles {
public:
    TestFiles() {
        if (!dir_.isValid()) throw std::runtime_error("no temporary folder");
    }
    std::string Write(const QString& name, std::string_view bytes) const {
        const QString path = dir_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
            throw std::runtime_error("cannot write test file");
        }
        return path.toStdString();
    }
    std::string Path(const QString& name) const { return dir_.filePath(name).toStdString(); }
    std::size_t RootLength() const { return static_cast<std::size_t>(dir_.path().size()); }

private:
    // Under /tmp whatever TMPDIR says: listing header lines are cut at 80
    // bytes, and the tests compare whole headers, so paths stay short.
    QTemporaryDir dir_{QStringLiteral("/tmp/nv-XXXXXX")};
};

// Sets the setup window's search text and targets, as its start command would.
inline void SetSearch(std::string_view utf8Text, std::initializer_list<std::string> targets) {
    ui::WhatForm->Targets = {};
    ui::WhatForm->Targets[0] = Sj(utf8Text);
    std::size_t k = 1;
    for (const std::string& t : targets) ui::WhatForm->Targets[k++] = t;
}

// The first line of a listing box that starts with text; -1 when none does.
inline int LineStartingWith(const ui::ListingView* box, const QString& text) {
    for (std::size_t i = 0; i < box->Listing().Count(); ++i) {
        if (box->LineText(i).startsWith(text)) return static_cast<int>(i);
    }
    return -1;
}

// Selects from one place of a listing box to another, as a mouse drag would.
inline void SelectPositions(ui::ListingView* box, ui::ListingView::Position from, ui::ListingView::Position to) {
    box->SetSelection(from, to);
}

// Selects one line from the keyboard: Home, then Shift+End. End stops at the
// end of a display line, so a wrapped line takes Shift+Right and Shift+End
// again until its end; where the box wraps depends on the paths.
inline void SelectLineByKeys(ui::ListingView* box, int line) {
    const auto at = static_cast<std::size_t>(line);
    const int end = static_cast<int>(box->LineText(at).size());
    box->SetSelection({at, 0}, {at, 0});
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_End, Qt::ShiftModifier);
    while (box->Caret().line == at && box->Caret().unit < end) {
        QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(box, Qt::Key_End, Qt::ShiftModifier);
    }
}

// How many characters from the start of a paragraph are red; and whether
// every character after them is black.
struct LineColour {
    int red = 0;
    bool restBlack = true;
};
inline LineColour ColourOf(const QTextEdit* edit, int block) {
    LineColour colour;
    const QTextBlock b = edit->document()->findBlockByNumber(block);
    bool inRed = true;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QColor c = fragment.charFormat().foreground().color();
        if (inRed && c == QColor(255, 0, 0)) {
            colour.red += fragment.length();
        } else {
            inRed = false;
            if (c != QColor(0, 0, 0)) colour.restBlack = false;
        }
    }
    return colour;
}

// The paragraph drawn lowest in a text edit's viewport, as rendered: the
// block under the lowest pixel row that holds text (a few pixels other than
// the white background; the caret alone is one); -1 when nothing is drawn.
inline int LastDrawnBlock(QTextEdit* edit) {
    const QImage image = edit->viewport()->grab().toImage();
    const double scale = image.devicePixelRatio();
    for (int y = image.height() - 1; y >= 0; --y) {
        int inked = 0;
        for (int x = 0; x < image.width(); ++x) inked += image.pixelColor(x, y) != QColor(Qt::white);
        if (inked >= 3) return edit->cursorForPosition(QPoint(2, static_cast<int>(y / scale))).blockNumber();
    }
    return -1;
}

// The paragraphs of a text edit that are drawn in red where it shows now.
inline std::vector<int> BlocksDrawnRed(QTextEdit* edit) {
    const QImage image = edit->viewport()->grab().toImage();
    const double scale = image.devicePixelRatio();
    std::vector<int> blocks;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() - c.green() < 100) continue;  // antialiased red stays far redder than green
            const int block = edit->cursorForPosition(QPoint(2, static_cast<int>(y / scale))).blockNumber();
            if (blocks.empty() || blocks.back() != block) blocks.push_back(block);
            break;
        }
    }
    return blocks;
}

}  // namespace testing_ui

#include "ui/TEXTVIEW.h"
#include "ui_fixture.h"

#include <QCoreApplication>

namespace testing_ui {

// Runs a command that may open the viewer. When it opens, whileOpen runs in
// it and the viewer is closed again. Returns whether it opened.
inline bool OpensViewer(const std::function<void()>& command, const std::function<void()>& whileOpen = {}) {
    bool opened = false;
    WhenModal([&] {
        if (!ui::TextViewForm->isVisible()) return;
        opened = true;
        if (whileOpen) whileOpen();
        Choose(ui::TextViewForm->N5);
    });
    command();
    QCoreApplication::processEvents();  // the check above runs now when nothing opened
    return opened;
}

}  // namespace testing_ui
