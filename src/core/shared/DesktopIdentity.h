#pragma once
// The names the desktop knows the two programs by: their desktop entries,
// icons and metadata are named after these identifiers, and the automatic
// mixer's media-key service gives its own.

namespace varonel::core {

inline constexpr char kVaronelAppId[] = "org.varonel.Varonel";
inline constexpr char kPlayerAppId[] = "org.varonel.VaronelPlayer";

}  // namespace varonel::core
