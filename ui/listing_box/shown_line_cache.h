// The lines of a listing box laid out lately. Laying a line out is what costs
// when drawing and scrolling, and the same few lines are asked for again and
// again; the cache keeps them, bounded so that memory does not follow the
// listing's length.
#pragma once

#include <QString>
#include <QTextLayout>

#include <cstddef>
#include <list>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ui {

// One line of a listing as the box shows it, laid out at the box's width.
struct ShownLine {
    QString text;
    // The byte offset, from the line's start, where each UTF-16 unit of text
    // starts, plus one for the end (core::BoxText::byteAt).
    std::vector<std::size_t> byteAt;
    QTextLayout layout;
    qreal height = 0;
};

class ShownLineCache {
public:
    // Far more lines than a screen holds, far fewer than a listing can have.
    static constexpr std::size_t kDefaultLines = 1024;
    static constexpr std::size_t kDefaultUnits = 1 << 20;

    // Keeps at most maxLines lines and maxUnits UTF-16 units of text, but
    // always the line added last, however long.
    explicit ShownLineCache(std::size_t maxLines = kDefaultLines, std::size_t maxUnits = kDefaultUnits)
        : maxLines_(maxLines), maxUnits_(maxUnits) {}

    // The line if it is kept, now the most recent; null if not.
    std::shared_ptr<const ShownLine> Find(std::size_t line);
    // Keeps shown as line, the most recent, and lets the least recent go
    // until the bounds hold. line must not be kept already.
    std::shared_ptr<const ShownLine> Add(std::size_t line, std::unique_ptr<ShownLine> shown);
    void Clear();

    std::size_t Lines() const noexcept { return recent_.size(); }
    std::size_t Units() const noexcept { return units_; }

private:
    std::size_t maxLines_, maxUnits_;
    // Most recent first.
    std::list<std::size_t> recent_;
    std::unordered_map<std::size_t, std::pair<std::shared_ptr<const ShownLine>, std::list<std::size_t>::iterator>>
        lines_;
    std::size_t units_ = 0;
};

}  // namespace ui
