// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StarDetails.h"

#include <cstdlib>

#include "LineFormat.h"
#include "StarRecord.h"

namespace lumara {

namespace {

constexpr double kDegreesPerHour = 15.0;
constexpr double kHalfCell = 0.5;

std::string_view Unpadded(const char* text, std::size_t width) {
    std::string_view view(text, width);
    const std::size_t first = view.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return view.substr(first, view.find_last_not_of(' ') + 1 - first);
}

} // namespace

SkyPlace PlaceOf(const StarRecord& record) {
    if (record.details != nullptr) {
        return {record.details->raDeg, record.details->decDeg};
    }
    const double hours = record.raHours + (record.raMinutes + kHalfCell) / format::kMinutesPerHour;
    const bool south = record.line[format::kDecSignColumn] == '-';
    const double degrees = std::abs(record.dec) + kHalfCell;
    return {hours * kDegreesPerHour, south ? -degrees : degrees};
}

std::string_view FullNameOf(const StarRecord& record) {
    return record.details != nullptr ? record.details->name
                                     : Unpadded(record.name, format::kNameChars);
}

std::string_view FullTypeOf(const StarRecord& record) {
    return record.details != nullptr ? record.details->type
                                     : Unpadded(record.type, format::kTypeChars);
}

} // namespace lumara
