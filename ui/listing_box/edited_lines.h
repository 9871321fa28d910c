// The lines of an edited listing box. Until the first edit a box draws the
// listing's own bytes; from then on each of its lines is either one of the
// listing's lines, by number, or a text typed over it. Editing one line of a
// million costs a list of the lines, never a copy of the text.
#pragma once

#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

namespace ui {

class EditedLines {
public:
    // The listing's lines 0 to count - 1, none edited.
    explicit EditedLines(std::size_t count);

    std::size_t Count() const noexcept { return lines_.size(); }
    // The listing's line that line i still is, if it was not edited.
    std::optional<std::size_t> Source(std::size_t i) const;
    // The text of line i, which was edited.
    const QString& Text(std::size_t i) const { return lines_[i].text; }
    // Puts texts in place of count lines from first.
    void Replace(std::size_t first, std::size_t count, std::vector<QString> texts);

private:
    static constexpr std::size_t kEdited = static_cast<std::size_t>(-1);
    struct Line {
        std::size_t source = kEdited;
        QString text;
    };
    std::vector<Line> lines_;
};

}  // namespace ui
