#pragma once
// The window system's message numbers, parameter types and creation
// constants, with the platform's own values: response tables are keyed by
// these numbers, and a message's parameters are packed as the platform packs
// them.

#include <cstdint>

using WPARAM = std::uintptr_t;  // a message's first parameter
using LPARAM = std::intptr_t;   // its second parameter
using LRESULT = std::intptr_t;  // the result handed back to the sender

enum : unsigned {
  WM_NULL = 0x0000,
  WM_DESTROY = 0x0002,
  WM_SIZE = 0x0005,
  WM_PAINT = 0x000F,
  WM_CLOSE = 0x0010,
  WM_QUERYENDSESSION = 0x0011,
  WM_QUIT = 0x0012,
  WM_ERASEBKGND = 0x0014,
  WM_COMMAND = 0x0111,
  WM_TIMER = 0x0113,
  // Mouse input over the client area: lParam packs the point (client
  // coordinates, logical pixels; MakeLParam), wParam the buttons and keys
  // held (MK_...); for the wheel its high half is the signed turn, 120 a
  // notch.
  WM_MOUSEMOVE = 0x0200,
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_MOUSEWHEEL = 0x020A,
  WM_MOUSELEAVE = 0x02A3,
  WM_USER = 0x0400,
  // The framework's own message for command-enabling rows.
  WM_COMMAND_ENABLE = 0x7F00,
};

// Menu commands the framework itself answers.
enum : unsigned {
  CM_EXIT = 24310,
  CM_HELPABOUT = 24346,
};

// Buttons and keys held during mouse input.
enum : unsigned {
  MK_LBUTTON = 0x0001,
  MK_SHIFT = 0x0004,
  MK_CONTROL = 0x0008,
};

// Window styles.
enum : std::uint32_t {
  WS_OVERLAPPED = 0x00000000,
  WS_MAXIMIZEBOX = 0x00010000,
  WS_MINIMIZEBOX = 0x00020000,
  WS_THICKFRAME = 0x00040000,
  WS_SYSMENU = 0x00080000,
  WS_CAPTION = 0x00C00000,
  WS_VISIBLE = 0x10000000,
  WS_OVERLAPPEDWINDOW = 0x00CF0000,
};

// "Let the system choose" for a window's x and width.
inline constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// Show commands.
enum : int {
  SW_HIDE = 0,
  SW_SHOWNORMAL = 1,
  SW_SHOWMINIMIZED = 2,
  SW_SHOWMAXIMIZED = 3,
  SW_SHOW = 5,
  SW_MINIMIZE = 6,
  SW_RESTORE = 9,
  SW_SHOWDEFAULT = 10,
};

// WM_SIZE kinds.
enum : unsigned {
  SIZE_RESTORED = 0,
  SIZE_MINIMIZED = 1,
  SIZE_MAXIMIZED = 2,
};

// The platform's packing of two 16-bit halves into a parameter.
inline constexpr LPARAM MakeLParam(int low, int high) {
  return static_cast<LPARAM>((static_cast<std::uint32_t>(low) & 0xFFFFu) |
                             ((static_cast<std::uint32_t>(high) & 0xFFFFu) << 16));
}
inline constexpr std::uint16_t LoWord(std::uintptr_t v) { return static_cast<std::uint16_t>(v & 0xFFFFu); }
inline constexpr std::uint16_t HiWord(std::uintptr_t v) {
  return static_cast<std::uint16_t>((v >> 16) & 0xFFFFu);
}
