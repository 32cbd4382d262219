// The keys, characters and scroll-bar requests the text pane understands, and
// what each character stands for. The numbers are those the window system
// delivers (virtual-key codes, scroll-bar request codes), so the Win32 layer
// passes them through unchanged.
#pragma once

namespace tamblor::views {

enum PaneKey : unsigned {
  kKeyPageUp = 0x21,
  kKeyPageDown = 0x22,
  kKeyEnd = 0x23,
  kKeyHome = 0x24,
  kKeyLeft = 0x25,
  kKeyUp = 0x26,
  kKeyRight = 0x27,
  kKeyDown = 0x28,
};

// Scroll-bar requests (vertical: up/down; horizontal: left/right).
enum ScrollRequest : int {
  kScrollLineBack = 0,   // line up / left
  kScrollLineOn = 1,     // line down / right
  kScrollPageBack = 2,
  kScrollPageOn = 3,
  kScrollThumbPosition = 4,
  kScrollThumbTrack = 5,
  kScrollToStart = 6,    // top / left end
  kScrollToEnd = 7,      // bottom / right end
  kScrollEnd = 8,        // the user let go of the bar
};

// What a typed character does in the pane, for users without cursor keys.
enum class PaneAction {
  PassOn,    // handed to the main window
  Left,
  Right,
  Down,
  Up,
  PageDown,
  Select,    // command 7 to the main window
  Back,      // command 6 to the main window
};

constexpr PaneAction CharacterAction(unsigned character) {
  switch (character) {
    case 2: return PaneAction::Left;            // Ctrl+B
    case 6: return PaneAction::Right;           // Ctrl+F
    case 14: case 'N': case 'n': return PaneAction::Down;  // Ctrl+N
    case 16: case 'P': case 'p': return PaneAction::Up;    // Ctrl+P
    case 22: return PaneAction::PageDown;       // Ctrl+V
    case 13: case 10: return PaneAction::Select;  // Enter, Ctrl+J
    case 27: return PaneAction::Back;           // Escape
    default: return PaneAction::PassOn;
  }
}

}  // namespace tamblor::views
