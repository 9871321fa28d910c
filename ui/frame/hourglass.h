// The hourglass over a window (or over the whole program, without one) while
// a command runs.
#pragma once

class QWidget;

namespace ui {

class Hourglass {
public:
    explicit Hourglass(QWidget* over = nullptr);
    ~Hourglass();
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

private:
    QWidget* over_;
};

}  // namespace ui
