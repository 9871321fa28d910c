// The search setup window: the browser, the target grid and the search box.
#pragma once

#include "core/browse/target_grid.h"
#include "ui/search_box/search_box.h"

#include <QMainWindow>

#include <array>
#include <span>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;

namespace ui {

class DirectoryListBox;
class DriveComboBox;
class FileListBox;
class FilterComboBox;
class StringGrid;

class TWhatForm : public QMainWindow {
public:
    TWhatForm();

    // Entry 0 is the search text, entries 1 to 20 the targets; the list ends
    // at its first empty entry. Filled only by the start command. The texts
    // are code-page bytes: the targets' names as the listing shows them.
    std::array<std::string, 21> Targets;
    // The same search as it was typed and picked: the text in UTF-8, which
    // each target gets in its own encoding, and the targets' native paths.
    // They stand for Targets as far as Targets shows them.
    std::string TypedSearchText;
    std::vector<std::string> TargetFiles;

    // The target grid's rows as the paths' native bytes, and its current
    // row: StringGrid1 shows them, the start command copies them, and a path
    // is never re-encoded from its shown text.
    core::TargetGrid GridRows;

    QLabel* Label1;
    DriveComboBox* DriveComboBox1;
    DirectoryListBox* DirectoryListBox1;
    FileListBox* FileListBox1;
    FilterComboBox* FilterComboBox1;
    QLabel* Label3;
    StringGrid* StringGrid1;
    QLabel* Label2;
    QLabel* Label4;
    SearchBox* Edit1;

    // Menu.
    QAction* N1;     // 検索開始(&S)
    QAction* N2;     // キャンセル(&C)
    QAction* Exit1;  // 終了(&E)
    QAction* N3;     // spacer
    QAction* N4;     // spacer
    QAction* N6;     // spacer
    QAction* N7;     // 検索結果の再呼び出し(&G)
    QAction* N5;     // spacer
    QMenu* N8;       // spacer "　", with one item "　"
    QAction* Help1;  // ヘルプ

    void FileListBox1Click();
    void StringGrid1MouseUp(Qt::MouseButton button);
    void Edit1Change();
    void N1Click();
    void N2Click();
    void N7Click();
    void Exit1Click();
    void Help1Click();

    // The files the program was started with go into the grid as clicks in
    // the file list would put them, with the browser in the first one's
    // folder; a box names the files it could not take, and the box of a full
    // grid shows when more than 20 were named. Relative names are taken from
    // the folder the program started in.
    void TakeStartFiles(std::span<const std::string> named);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void WhatFormCreate();
    void OpenStartFolder(const std::string& start);
    void ShowGridRows();
    void FocusSearchBox();
    void ClearResultsCurrent();

    // The process's current folder when the window was made, before the
    // browser made its own folder current.
    std::string startedIn_;
};

extern TWhatForm* WhatForm;

}  // namespace ui
