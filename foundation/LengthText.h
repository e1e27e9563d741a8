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

// Reads a length typed by the user into millimetres; every text FormatLength writes reads back as
// the length it shows. Imperial: the number before a foot mark is feet, the number after the last
// foot mark inches; a number is whole units, a decimal part and a fraction n/d with d a power of two
// up to 64 ("5' 6 1/2"", "5.5"); a leading minus makes the length negative and other characters are
// skipped. Metric: a decimal number in the unit shown. An empty text gives 0. Returns false, with 0,
// when a metric text holds no number or an imperial number is malformed ("1/3", "5..5").
bool ParseLength(float& millimetres, const Vcon::WString& text);
