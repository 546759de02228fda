// Types and constants shared by the hex control, its conversions and the
// print renderer.
#pragma once

#include <cstdint>
#include <stdexcept>

enum TCaretStyle { csFull, csLeftLine, csBottomLine };
enum TOffsetDisplayStyle { odHex, odDec, odOctal, odNone };
enum TTranslationType { ttAnsi, ttDos8, ttASCII, ttMac, ttEBCDIC };

// Undo record kinds; the editor itself creates the first five only.
enum : uint8_t {
    U_Byte_changed = 0,
    U_Byte_removed = 1,
    U_Insert_buffer = 2,
    U_Replace_Selection = 3,
    U_Append_Buffer = 4,
    U_Nibble_Insert = 5,
    U_Nibble_Delete = 6,
    U_Convert = 7,
};

constexpr int cMax_Undo = 100;
constexpr int cBuf_Size = 65536;
// The message the control posts to itself to announce a state change, and
// the value both of its parameters carry.
constexpr int WM_STATECHANGED = 0x0402;
constexpr int cStateChangedParam = 7;

// Raised on a bad argument; the message is the fixed English text the
// callers and their users see.
class EHexEditor : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};
