// The check value by which the colour-choice cache finds equal colour lists.
#pragma once

#include <cstddef>
#include <cstdint>

// A CRC-16 over the bytes (reflected polynomial 0xA001, start 0xFFFF) kept in a 32-bit register:
// each byte goes in sign-extended and only the low 16 bits shift, so the upper half records the
// bytes from 0x80 up and the odd number of feedback steps. Bytes below 0x80 give the plain CRC-16 in
// the low half.
uint32_t ListChecksum(const uint8_t* bytes, size_t length);
