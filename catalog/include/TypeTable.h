// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The distinct variability types of a catalogue, each once with the
// families it belongs to: a catalogue of millions of stars has a few
// thousand of them, so a type criterion is decided once per distinct type
// and looked up per star by its id.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "TypeMatch.h"

namespace lumara {

// A star's type id; ids run from 0. Past the last id a table holds, a star
// is matched by its text.
using TypeId = std::uint16_t;
inline constexpr TypeId kUninterned = 0xFFFF;

class TypeTable {
public:
    // The id of `type` (a view that lives as long as the table's catalogue),
    // new ones numbered on; kUninterned once the ids have run out.
    TypeId Intern(std::string_view type);
    std::size_t Size() const { return texts.size(); }
    std::string_view Text(TypeId id) const { return texts[id]; }
    FamilyMask Families(TypeId id) const { return families[id]; }
    void Clear();

private:
    std::vector<std::string_view> texts;
    std::vector<FamilyMask> families;
    std::unordered_map<std::string_view, TypeId> ids;
};

} // namespace lumara
