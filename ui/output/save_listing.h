// The save command of the result window: asks for a file name and writes the
// listing there.
#pragma once

#include <QString>

#include <span>
#include <string>
#include <string_view>

class QWidget;

namespace ui {

// IFOUND.TXT in the home folder, as a full path: the default listing file.
QString DefaultListingPath();

// Shows the file name dialog with the default listing file and saves every
// byte of the listing to the file named there. Nothing is written when the
// dialog is cancelled, nor when the name is that of one of targets (native
// paths): that is refused with a 注意 box. Throws core::EFCreateError when the file can't be made
// (also for a name the code page can't write) and core::EInOutError when it
// can't be written whole; any earlier file then stays as it was.
void SaveListing(std::string_view listing, std::span<const std::string> targets, QWidget* parent = nullptr);

}  // namespace ui
