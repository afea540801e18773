// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Where the catalogue keeps what imported stars' sources said beyond the
// line: the details from a pool, their texts in an arena.
#pragma once

#include "ChunkPool.h"
#include "StarDetails.h"
#include "TextArena.h"

namespace lumara {

class DetailStore {
public:
    // A lasting copy of `details` with texts of its own; nullptr when memory
    // runs out.
    const StarDetails* Keep(const StarDetails& details) {
        StarDetails* kept = pool.Allocate();
        if (kept == nullptr) {
            return nullptr;
        }
        *kept = details;
        if (!texts.Copy(details.name, kept->name) || !texts.Copy(details.type, kept->type)) {
            return nullptr;
        }
        return kept;
    }

    // Takes over everything `other` keeps.
    void Adopt(DetailStore& other) {
        pool.Adopt(other.pool);
        texts.Adopt(other.texts);
    }

    void Release() {
        pool.Release();
        texts.Release();
    }

private:
    ChunkPool<StarDetails> pool;
    TextArena texts;
};

} // namespace lumara
