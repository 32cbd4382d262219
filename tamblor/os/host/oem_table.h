// The DOS code page 437 and the Windows code page 1252, byte for byte, with the
// best-fit replacements the system uses for characters the other side lacks
// (box drawing becomes "+", "-" and "|").
#pragma once

namespace tamblor::os::host {

unsigned char OemToAnsiByte(unsigned char oem);
unsigned char AnsiToOemByte(unsigned char ansi);

}  // namespace tamblor::os::host
