// The local search window: a second search text inside the viewed file.
#pragma once

#include "ui/search_box/search_box.h"

#include <QMainWindow>

class QAction;
class QLabel;

namespace ui {

class EditableListingBox;

class TLocalSrchForm : public QMainWindow {
public:
    TLocalSrchForm();

    QLabel* Label1;
    SearchBox* Edit1;
    EditableListingBox* Memo1;

    QAction* Find1;  // 検索(&S)
    QAction* N1;     // キャンセル(&C)
    QAction* N2;     // spacer
    QAction* Exit1;  // 終了(&E)

    void Find1Click();
    void N1Click();
    void Exit1Click();
    void LocalSrchFormResize();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void LocalSrchCreate();
};

extern TLocalSrchForm* LocalSrchForm;

}  // namespace ui
