// Lengths as the user sees and types them, in the unit system of the user preferences: millimetres,
// centimetres, or feet and inches with sixteenths. Millimetres are the internal unit (32-bit floats).
#pragma once

#include <cstdint>

#include "foundation/VconString.h"

// Flags of FormatLength; they matter only for the imperial unit system. Neither: feet and inches.
inline constexpr uint32_t kLengthInchesOnly = 1;        // whole inches: 39"
inline constexpr uint32_t kLengthInchesSixteenths = 2;  // inches and sixteenths: 5 1/2"

// The inch and foot marks of imperial lengths.
inline constexpr char16_t kInchMark = u'"';
inline constexpr char16_t kFootMark = u'\'';

// The text of a length in millimetres, rounded to the unit shown: "1000 mm", "12 cm", "3' 3"". A length
// that shows as zero in imperial units carries no minus sign.
void FormatLength(float millimetres, Vcon::WString& out, uint32_t flags = 0);

// Reads a length typed by the user into millimetres. Imperial: digits before a foot mark are feet,
// the digits after the last foot mark are inches; every other character is skipped (5.5 reads as 55
// inches). Metric: a decimal number in the unit shown. An empty text gives 0. Returns false, with 0,
// when a metric text holds no number.
bool ParseLength(float& millimetres, const Vcon::WString& text);
