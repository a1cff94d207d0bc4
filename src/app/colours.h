// The colours of the windows, as class-library colour values: red in the low
// byte, blue in the high byte.
#pragma once

namespace lumivex {

inline constexpr unsigned kColourRed = 0x0000FF;
inline constexpr unsigned kColourLime = 0x00FF00;
inline constexpr unsigned kColourBlue = 0xFF0000;
inline constexpr unsigned kColourYellow = 0x00FFFF;
inline constexpr unsigned kColourFuchsia = 0xFF00FF;
inline constexpr unsigned kColourPurple = 0x800080;
inline constexpr unsigned kColourGreen = 0x008000;
inline constexpr unsigned kColourMaroon = 0x000080;
inline constexpr unsigned kColourCream = 0xF0FBFF;
// The light aqua of the main and settings windows.
inline constexpr unsigned kColourWindow = 15794112;

}  // namespace lumivex
