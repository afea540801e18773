// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// An entry of the catalogue's result list. The catalogue owns every node;
// everything else only reads them.
#pragma once

#include <cstdint>

#include "StarRecord.h"

// One entry of the doubly linked result list. It refers to a record and never
// owns it.
struct ResultNode {
    std::int32_t number; // position in the list, from 1
    ResultNode* prev;
    StarRecord* record;
    ResultNode* next;
};
