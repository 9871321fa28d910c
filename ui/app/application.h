// The application object's services: its title, the default error display
// and the guard that every event handler runs through.
#pragma once

#include <QString>

#include <exception>

namespace ui {

class Application {
public:
    // Computes the title from the executable's path, once, at start-up.
    static void Init(const QString& executablePath);
    // "Norvane" for an executable named Norvane.
    static const QString& Title();

    // The default error display: shows what the error says in a stop box
    // captioned with the title; an EAbort shows nothing. Never throws.
    static void ShowError(std::exception_ptr error) noexcept;
};

// Runs an event handler. Qt is not exception-safe, so no exception may leave
// a handler: what it throws goes to the default error display, and the event
// loop goes on.
template <class Handler>
void Guarded(Handler&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        Application::ShowError(std::current_exception());
    }
}

}  // namespace ui
