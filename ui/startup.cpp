#include "ui/startup.h"

#include "ui/LocalSrch.h"
#include "ui/Opening.h"
#include "ui/RESULT.h"
#include "ui/TEXTVIEW.h"
#include "ui/WHAT.h"
#include "ui/dialogs/help_viewer.h"

#include <QApplication>

namespace ui {

WindowSet::WindowSet(const std::function<void(QWidget*)>& onCreated) {
    // Visible at once, while the rest is made.
    TOpeningForm splash;
    splash.show();
    splash.repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    // The viewer places itself by the result window, so the order matters.
    auto created = [&](QWidget* window) {
        if (onCreated) onCreated(window);
    };
    what_ = std::make_unique<TWhatForm>();
    WhatForm = what_.get();
    created(WhatForm);
    result_ = std::make_unique<TResultForm>();
    ResultForm = result_.get();
    created(ResultForm);
    textView_ = std::make_unique<TTextViewForm>();
    TextViewForm = textView_.get();
    created(TextViewForm);
    localSearch_ = std::make_unique<TLocalSrchForm>();
    LocalSrchForm = localSearch_.get();
    created(LocalSrchForm);
}

WindowSet::~WindowSet() {
    HelpViewer::Quit();
    LocalSrchForm = nullptr;
    TextViewForm = nullptr;
    ResultForm = nullptr;
    WhatForm = nullptr;
}

void ShowSetupWindow(std::span<const std::string> files) {
    WhatForm->show();
    // After the show: a box about the files stands over the window.
    WhatForm->TakeStartFiles(files);
}

}  // namespace ui
