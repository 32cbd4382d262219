#include "tamblor/os/host/oem_table.h"

namespace tamblor::os::host {
namespace {

// Code page 437 bytes 0x80..0xFF in code page 1252.
constexpr unsigned char kOemHigh[128] = {
    0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7, 0xEA, 0xEB, 0xE8, 0xEF, 0xEE, 0xEC, 0xC4, 0xC5,  // 80
    0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2, 0xFB, 0xF9, 0xFF, 0xD6, 0xDC, 0xA2, 0xA3, 0xA5, 'P',  0x83,  // 90
    0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA, 0xBF, 0xAC, 0xAC, 0xBD, 0xBC, 0xA1, 0xAB, 0xBB,  // A0
    '#',  '#',  '#',  '|',  '+',  '+',  '+',  '+',  '+',  '+',  '|',  '+',  '+',  '+',  '+',  '+',   // B0
    '+',  '+',  '+',  '+',  '-',  '+',  '+',  '+',  '+',  '+',  '+',  '+',  '+',  '-',  '+',  '+',   // C0
    '+',  '+',  '+',  '+',  '+',  '+',  '+',  '+',  '+',  '+',  '+',  '#',  '#',  '#',  '#',  '#',   // D0
    'a',  0xDF, 'G',  'p',  'S',  's',  0xB5, 't',  'F',  'T',  'O',  'd',  '8',  'f',  'e',  'n',   // E0
    '=',  0xB1, '>',  '<',  '|',  '|',  0xF7, '~',  0xB0, 0xB7, 0xB7, 'v',  'n',  0xB2, '#',  0xA0,  // F0
};

}  // namespace

unsigned char OemToAnsiByte(unsigned char oem) { return oem < 0x80 ? oem : kOemHigh[oem - 0x80]; }

unsigned char AnsiToOemByte(unsigned char ansi) {
  if (ansi < 0x80) return ansi;
  for (int i = 0; i < 128; ++i) {
    if (kOemHigh[i] == ansi) return static_cast<unsigned char>(0x80 + i);
  }
  return '?';
}

}  // namespace tamblor::os::host
