// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StarCatalog.h"

void CStarCatalog::MoveFirst() {
    if (!hasResults) {
        return;
    }
    cursor = first;
    bof = true;
    eof = false;
}

void CStarCatalog::MoveLast() {
    if (!hasResults) {
        return;
    }
    cursor = last;
    bof = false;
    eof = true;
}

void CStarCatalog::MoveNext() {
    if (!hasResults) {
        return;
    }
    bof = false;
    eof = cursor->next == nullptr;
    if (!eof) {
        cursor = cursor->next;
    }
}

void CStarCatalog::MovePrev() {
    if (!hasResults) {
        return;
    }
    eof = false;
    bof = cursor->prev == nullptr;
    if (!bof) {
        cursor = cursor->prev;
    }
}

std::int16_t CStarCatalog::GetRaHours() const {
    return cursor != nullptr ? cursor->record->raHours : std::int16_t{0};
}

std::int16_t CStarCatalog::GetRaMinutes() const {
    return cursor != nullptr ? cursor->record->raMinutes : std::int16_t{0};
}

std::int16_t CStarCatalog::GetDec() const {
    return cursor != nullptr ? cursor->record->dec : std::int16_t{0};
}

const char* CStarCatalog::GetName() const {
    return cursor != nullptr ? cursor->record->name : "";
}

const char* CStarCatalog::GetType() const {
    return cursor != nullptr ? cursor->record->type : "";
}

const char* CStarCatalog::GetRange() const {
    return cursor != nullptr ? cursor->record->range : "";
}

double CStarCatalog::GetPeriod() const {
    return cursor != nullptr ? cursor->record->period : 0.0;
}

const char* CStarCatalog::GetDescription() const {
    return cursor != nullptr ? cursor->record->desc : "";
}

const char* CStarCatalog::GetLine() const {
    return cursor != nullptr ? cursor->record->line : "";
}
