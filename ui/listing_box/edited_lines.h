// The lines of an edited listing box. Until the first edit a box draws the
// listing's own bytes; from then on each of its lines is either one of the
// listing's lines, by number, or a text typed over it. While no line has
// been added or taken away, only the lines typed over are kept; the first
// edit that does either makes a list of all the lines, never a copy of the
// text.
#pragma once

#include <QString>

#include <cstddef>
#include <map>
#include <optional>
#include <vector>

namespace ui {

class EditedLines {
public:
    // The listing's lines 0 to count - 1, none edited.
    explicit EditedLines(std::size_t count) : count_(count) {}

    std::size_t Count() const noexcept { return listed_ ? lines_.size() : count_; }
    // The listing's line that line i still is, if it was not edited.
    std::optional<std::size_t> Source(std::size_t i) const;
    // The text of line i, which was edited.
    const QString& Text(std::size_t i) const;
    // Puts texts in place of count lines from first.
    void Replace(std::size_t first, std::size_t count, std::vector<QString> texts);

private:
    static constexpr std::size_t kEdited = static_cast<std::size_t>(-1);
    struct Line {
        std::size_t source = kEdited;
        QString text;
    };
    // Makes the list of all lines from the lines typed over.
    void List();

    std::size_t count_;
    std::map<std::size_t, QString> typedOver_;  // until listed
    bool listed_ = false;
    std::vector<Line> lines_;
};

}  // namespace ui
