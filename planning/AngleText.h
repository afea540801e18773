// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Numbers and angles as users type them. The readers say only what is wrong
// with the text; the caller names the quantity.
#pragma once

#include <string>
#include <string_view>

#include "PlanOptions.h"

namespace lumara::plan {

// Hemisphere letters an angle may carry, upper case; none for angles that
// have no hemisphere.
struct Hemispheres {
    char positive;
    char negative;
};
inline constexpr Hemispheres kNoHemispheres{'\0', '\0'};
inline constexpr Hemispheres kNorthSouth{'N', 'S'};
inline constexpr Hemispheres kEastWest{'E', 'W'};

// An optional sign, digits and an optional decimal part: nothing else.
Parsed<double> ReadDecimal(std::string_view text);

// Decimal degrees, or degrees, minutes and seconds (see ParseQuantity).
Parsed<double> ReadAngle(std::string_view text, Hemispheres hemispheres);

// Blanks and tabs off both ends.
std::string_view TrimBlanks(std::string_view text);

// The fewest decimals that read back as exactly `value`, never an exponent.
std::string ShortestDecimal(double value);

} // namespace lumara::plan
