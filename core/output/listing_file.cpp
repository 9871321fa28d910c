#include "core/output/listing_file.h"

#include "core/errors.h"
#include "platform/code_page.h"
#include "platform/file_replace.h"
#include "platform/native_names.h"

namespace core {

std::string CreateErrorMessage(std::string_view path) {
    static const std::string format = platform::FixedText("ﾌｧｲﾙ %s を作成できません");
    std::string message = format;
    message.replace(message.find("%s"), 2, path);
    return message;
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
