// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "TypeTable.h"

#include <new>

namespace lumara {

// Without memory for a new entry the star is matched by its text, as past
// the last id.
TypeId TypeTable::Intern(std::string_view type) {
    const auto known = ids.find(type);
    if (known != ids.end()) {
        return known->second;
    }
    if (texts.size() == kUninterned) {
        return kUninterned;
    }
    const auto id = static_cast<TypeId>(texts.size());
    try {
        ids.emplace(type, id);
    } catch (const std::bad_alloc&) {
        return kUninterned;
    }
    try {
        texts.push_back(type);
        families.push_back(FamiliesOf(type));
    } catch (const std::bad_alloc&) {
        texts.resize(id);
        ids.erase(type);
        return kUninterned;
    }
    return id;
}

void TypeTable::Clear() {
    texts.clear();
    families.clear();
    ids.clear();
}

} // namespace lumara
