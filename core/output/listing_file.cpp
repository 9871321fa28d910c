#include "core/output/listing_file.h"

#include "core/errors.h"
#include "platform/code_page.h"
#include "platform/file_access.h"
#include "platform/file_replace.h"
#include "platform/native_names.h"

#include <system_error>

namespace core {

std::string CreateErrorMessage(std::string_view path) {
    static const std::string format = platform::FixedText("ﾌｧｲﾙ %s を作成できません");
    std::string message = format;
    message.replace(message.find("%s"), 2, path);
    return message;
}

std::string TargetNotReplacedMessage(std::string_view path) {
    static const std::string format = platform::FixedText("ﾌｧｲﾙ %s は検索対象なので出力先にできません");
    std::string message = format;
    message.replace(message.find("%s"), 2, path);
    return message;
}

bool NamesOneOf(std::string_view path, std::span<const std::string> files) {
    if (path.empty()) return false;
    for (const std::string& file : files) {
        if (!file.empty() && platform::SameFile(path, file)) return true;
    }
    return false;
}

const std::string& WriteErrorMessage() {
    static const std::string message = platform::FixedText("ｽﾄﾘｰﾑへの書き込みｴﾗｰ");
    return message;
}

void SaveListingFile(std::string_view path, std::string_view listing) {
    const platform::ReplaceResult result = platform::ReplaceFile(path, listing);
    switch (result.step) {
    case platform::ReplaceResult::Step::Done: return;
    case platform::ReplaceResult::Step::Create: throw EFCreateError(CreateErrorMessage(platform::NameToCodePage(path)));
    case platform::ReplaceResult::Step::Write: throw EInOutError(WriteErrorMessage(), result.code);
    }
}

}  // namespace core
