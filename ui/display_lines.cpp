#include "ui/display_lines.h"

#include "core/text_device.h"
#include "platform/code_page.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace ui {

namespace {

std::string EncodeShown(const QString& text) {
    const QList<uint> ucs4 = text.toUcs4();
    return platform::EncodeCodePageLossy(std::u32string(ucs4.begin(), ucs4.end()));
}

// Where the units that stand for no bytes of their own begin in [start, end):
// the box's mark after a cut line, which runs to the end of its paragraph.
int FirstUnitWithoutBytes(const CodePageText& shown, int start, int end) {
    const QString& text = shown.Text();
    for (int p = start; p < end; ++p) {
        if (!text[p].isHighSurrogate() && shown.ByteOffset(p) == shown.ByteOffset(p + 1)) return p;
    }
    return end;
}

std::string LineBytes(const CodePageText& shown, int from, int to, int markAt) {
    const int split = std::clamp(markAt, from, to);
    std::string bytes(shown.BytesBetween(from, split));
    if (split < to) bytes += EncodeShown(shown.Text().mid(split, to - split));
    return bytes;
}

}  // namespace

std::vector<std::string> DisplayLines(const QPlainTextEdit& box, const CodePageText& shown) {
    const QTextDocument* document = box.document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    // The box is expected to hold exactly the shown text; if it holds
    // something else, its own text is printed.
    const bool same = document->characterCount() - 1 == shown.Text().size();
    const CodePageText own = same ? CodePageText() : CodePageText(EncodeShown(document->toRawText()));
    const CodePageText& source = same ? shown : own;

    std::vector<std::string> lines;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const bool last = !block.next().isValid();
        if (last && block.length() <= 1) break;  // the empty line after the final line end
        layout->blockBoundingRect(block);        // lays the block out if the box has not yet
        const int start = block.position();
        const int end = start + block.length() - 1;
        const int markAt = same ? FirstUnitWithoutBytes(source, start, end) : end;
        const QTextLayout* lineLayout = block.layout();
        const int count = std::max(lineLayout->lineCount(), 1);
        for (int i = 0; i < count; ++i) {
            int from = start, to = end;
            if (lineLayout->lineCount() > 0) {
                const QTextLine line = lineLayout->lineAt(i);
                from = start + line.textStart();
                to = from + line.textLength();
            }
            if (to > from && document->characterAt(to - 1) == QChar::LineSeparator) --to;
            lines.emplace_back(core::LimitDisplayLine(LineBytes(source, from, to, markAt)));
        }
    }
    return lines;
}

}  // namespace ui
