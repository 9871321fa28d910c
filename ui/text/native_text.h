// Names as the system gives them (native bytes, UTF-8 here) in widgets, and
// a typed path back: a name shows exactly as it is, whatever the code page
// holds of it.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace ui {

// A malformed byte of the name shows as U+FFFD; the name itself stays as it was.
inline QString FromNative(std::string_view native) {
    return QString::fromUtf8(native.data(), static_cast<qsizetype>(native.size()));
}

inline std::string ToNative(const QString& text) { return text.toStdString(); }

}  // namespace ui
