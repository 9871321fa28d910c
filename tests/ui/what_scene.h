// The search setup window's test scene: a temporary folder tree to browse,
// and the clicks and probes the window tests drive it with.
#pragma once

#include "core/browse/folder_path.h"
#include "core/temp_files.h"
#include "platform/code_page.h"
#include "platform/native_names.h"
#include "ui/WHAT.h"
#include "ui/browser/directory_list_box.h"
#include "ui/browser/file_list_box.h"
#include "ui/browser/string_grid.h"
#include "ui/text/code_page_text.h"

#include <QApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QtTest>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace testing_what {

inline std::string Sj(const char* utf8) { return platform::FixedText(utf8); }

// A folder tree to browse, made for each test, and the process's current
// folder set inside it (the window starts there) and restored afterwards.
class Scene {
public:
    Scene() : saved_(std::filesystem::current_path()) {
        docs = Folder("docs");
        Write("docs/a.txt", Sj("一行目\r\n港町の朝\r\n"));
        Write("docs/b.txt", Sj("港町\r\n"));
        Write("docs/C.TXT", Sj("なし\r\n"));
        Write("docs/d.log", "log\r\n");
        Write("docs/e.doc", "doc\r\n");
        Write("docs/f.exe", "exe\r\n");
        Write("docs/.hidden.txt", Sj("港町\r\n"));
        for (const char* sub : {"docs/Zeta", "docs/alpha", "docs/Beta", "docs/.git", "many"}) Folder(sub);
        Write("docs/alpha/inner.txt", Sj("港町の灯\r\n"));
        for (int i = 1; i <= 21; ++i)
            Write("many/f" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt", "x");
        std::filesystem::current_path(dir_.Root() / "docs");
    }
    ~Scene() { std::filesystem::current_path(saved_); }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // The folder's path as the browser holds it (native).
    std::string Path(const std::string& relative) const { return core::JoinPath(dir_.Root().string(), relative); }
    std::string Folder(const std::string& relative) {
        std::filesystem::create_directories(dir_.Root() / relative);
        return Path(relative);
    }
    void Write(const std::string& relative, const std::string& bytes) { dir_.Write(relative, bytes); }
    std::filesystem::path Native(const std::string& relative) const { return dir_.Root() / relative; }

    std::string docs;

private:
    std::filesystem::path saved_;
    testing_support::TempDir dir_;
};

inline int RowOf(const std::vector<std::string>& names, const std::string& name) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return static_cast<int>(i);
    }
    return -1;
}

inline QPoint FilePoint(const std::string& name) {
    ui::FileListBox* list = ui::WhatForm->FileListBox1;
    const int row = RowOf(list->Names(), name);
    if (row < 0) throw std::runtime_error("no such file listed: " + name);
    list->scrollToItem(list->item(row));
    return list->visualItemRect(list->item(row)).center();
}

inline void ClickFile(const std::string& name, Qt::MouseButton button = Qt::LeftButton,
                      Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(ui::WhatForm->FileListBox1->viewport(), button, modifiers, FilePoint(name));
}

// A real double-click: press, release, the second press, release.
inline void DoubleClick(QWidget* viewport, QPoint at) {
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
}

inline QPoint GridRowPoint(int row) {
    ui::StringGrid* grid = ui::WhatForm->StringGrid1;
    QTableWidgetItem* cell = grid->item(row - 1, 0);
    grid->scrollToItem(cell);
    return grid->visualItemRect(cell).topLeft() + QPoint(40, 9);
}

inline void ClickGridRow(int row, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(ui::WhatForm->StringGrid1->viewport(), button, {}, GridRowPoint(row));
}

inline void ClickGridHeader(Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(ui::WhatForm->StringGrid1->horizontalHeader()->viewport(), button, {}, QPoint(40, 9));
}

inline QPoint FolderPoint(const std::string& path) {
    ui::DirectoryListBox* list = ui::WhatForm->DirectoryListBox1;
    const int row = RowOf(list->ItemPaths(), path);
    if (row < 0) throw std::runtime_error("no such folder listed: " + path);
    list->scrollToItem(list->item(row));
    return list->visualItemRect(list->item(row)).center();
}

inline void TypeText(QWidget* box, const char* utf8) {
    QInputMethodEvent commit;
    commit.setCommitString(ui::FromUtf8(utf8));
    QApplication::sendEvent(box, &commit);
}

inline std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int r = 1; r < core::TargetGrid::kRowCount; ++r) rows.push_back(ui::WhatForm->GridRows.Row(r));
    while (!rows.empty() && rows.back().empty()) rows.pop_back();
    return rows;
}

inline bool SearchBoxFocusedAllSelected() {
    QLineEdit* box = ui::WhatForm->Edit1;
    return ui::WhatForm->focusWidget() == box && box->selectedText() == box->text();
}

inline void ShowWindow() {
    ui::WhatForm->show();
    ui::WhatForm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(ui::WhatForm));
}

}  // namespace testing_what
