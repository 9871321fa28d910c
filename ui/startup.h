// Start-up: the splash, then the four working windows in their order.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>

class QWidget;

namespace ui {

class TWhatForm;
class TResultForm;
class TTextViewForm;
class TLocalSrchForm;

// Owns the working windows for the life of the program and sets the global
// reference of each; clears them again when destroyed.
class WindowSet {
public:
    // onCreated, when given, is told of each working window right after it is made.
    explicit WindowSet(const std::function<void(QWidget*)>& onCreated = {});
    ~WindowSet();
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

private:
    std::unique_ptr<TWhatForm> what_;
    std::unique_ptr<TResultForm> result_;
    std::unique_ptr<TTextViewForm> textView_;
    std::unique_ptr<TLocalSrchForm> localSearch_;
};

// The program's first window, once the window set is made: the setup window
// shown, with the files named at start in its grid.
void ShowSetupWindow(std::span<const std::string> files);

}  // namespace ui
