#include "ui/output/save_listing.h"

#include "core/errors.h"
#include "core/output/listing_file.h"
#include "platform/native_names.h"
#include "ui/dialogs/input_query.h"
#include "ui/dialogs/message_boxes.h"
#include "ui/text/code_page_text.h"
#include "ui/text/native_text.h"

#include <QDir>

namespace ui {

QString DefaultListingPath() { return QDir(QDir::homePath()).filePath(QStringLiteral("IFOUND.TXT")); }

void SaveListing(std::string_view listing, std::span<const std::string> targets, QWidget* parent) {
    const auto name = InputQuery(FromUtf8("出力ﾌｧｲﾙ名の入力"), FromUtf8("ファイル名を確認、または修正してください。"),
                                 DefaultListingPath(), parent);
    if (!name) return;
    // Any name the system allows: the file is made under the name as typed.
    const std::string path = ToNative(*name);
    // The default file is replaced without a word; a text being searched never.
    if (core::NamesOneOf(path, targets)) {
        ShowCaution(ToQString(core::TargetNotReplacedMessage(platform::NameToCodePage(path))), BoxOwner::Application);
        return;
    }
    core::SaveListingFile(path, listing);
}

}  // namespace ui
