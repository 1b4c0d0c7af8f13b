#pragma once

namespace tovan {

// The program's id on the desktop: the name of its desktop entry, of its icon in
// the theme and of its AppStream data, so that desktops match its windows to
// them.
inline constexpr const char* ApplicationId = "org.ferrovane.Ferrovane";

}  // namespace tovan
