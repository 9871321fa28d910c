#include "core/texts.h"

#include "platform/code_page.h"

namespace core::texts {

#define NORVANE_TEXT(name, utf8)                                   \
    const std::string& name() {                                    \
        static const std::string text = platform::FixedText(utf8); \
        return text;                                               \
    }

NORVANE_TEXT(FileNotFound, "ﾌｧｲﾙが見つかりません")
NORVANE_TEXT(InvalidFileName, "不正なﾌｧｲﾙ名です")
NORVANE_TEXT(TooManyOpenFiles, "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます")
NORVANE_TEXT(FileAccessDenied, "ﾌｧｲﾙへのｱｸｾｽが拒否されました")
NORVANE_TEXT(ReadBeyondEnd, "ﾌｧｲﾙの末尾以降を読み込みました")
NORVANE_TEXT(DiskFull, "ﾃﾞｨｽｸがいっぱいです")
NORVANE_TEXT(InputNotNumeric, "入力値が数値ではありません")
NORVANE_TEXT(IoErrorFormat, "I/O ｴﾗｰ (%d)")
NORVANE_TEXT(ListingHeading, "検索字句：　")
NORVANE_TEXT(ViewerCaptionPrefix, "全文表示 ⇒　")

#undef NORVANE_TEXT

std::string ListingHeading(const platform::Encoding& encoding) {
    if (&encoding == &platform::Cp932()) return ListingHeading();
    return *platform::Utf8ToEncoding(encoding, "検索字句：　");
}

}  // namespace core::texts
