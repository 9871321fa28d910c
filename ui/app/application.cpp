#include "ui/app/application.h"

#include "core/app_title.h"
#include "core/error_text.h"
#include "core/errors.h"
#include "platform/code_page.h"
#include "ui/dialogs/message_boxes.h"
#include "ui/text/code_page_text.h"

#include <QApplication>
#include <QWidget>

#include <new>
#include <optional>

namespace ui {

namespace {
QString& StoredTitle() {
    static QString title;
    return title;
}

// The error's message in code-page bytes; nullopt for a silent EAbort.
std::optional<std::string> MessageOf(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const core::EAbort&) {
        return std::nullopt;
    } catch (const core::Exception& e) {
        return e.Message();
    } catch (const std::bad_alloc&) {
        return platform::FixedText("メモリが不足しています");
    } catch (const std::exception& e) {
        return platform::EncodeCodePageLossy(platform::DecodeUtf8Lossy(e.what()));
    } catch (...) {
        return platform::FixedText("不明なエラーが発生しました");
    }
}
}  // namespace

void Application::Init(const QString& executablePath) {
    StoredTitle() = ToQString(core::ApplicationTitle(ToCodePageLossy(executablePath)));
}

const QString& Application::Title() { return StoredTitle(); }

void Application::ShowError(std::exception_ptr error) noexcept {
    try {
        // A window holding the mouse, or an open menu, would keep the box from
        // getting its click.
        if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();

        const auto message = MessageOf(error);
        if (!message) return;
        MessageBoxes::Show(
            {ToQString(core::WithClosingPeriod(*message)), Title(), BoxIcon::Error, BoxOwner::Application});
    } catch (...) {
        // Nothing is left to tell the user with; the event loop goes on.
    }
}

}  // namespace ui
