// SPDX-FileCopyrightText: 2026 The Lumara developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Identifiers of the windows' controls and menu commands. Tests and the
// window address every control through these numbers.
#pragma once

enum ControlId : int {
    IDC_STATIC = -1,
    IDOK = 1,

    IDC_RA_WEST = 1000,
    IDC_RA_EAST = 1001,
    IDC_DEC_SOUTH = 1002,
    IDC_DEC_NORTH = 1003,
    IDC_MAG_MAX = 1004,
    IDC_MAG_MIN = 1005,
    IDC_PERIOD_LEAST = 1006,
    IDC_PERIOD_MOST = 1007,
    IDC_FILE_NAME = 1008,
    IDC_RECORDS_LOADED = 1009,
    IDC_STARS_FOUND = 1010,
    IDC_STAR_LIST = 1011,
    IDC_SEARCH_ASC = 1012,
    IDC_SEARCH_DESC = 1013,
    IDC_NO_LIGHT_CURVE = 1014,
    IDC_CRITERIA_GROUP = 1015,
    IDC_USE_MAGNITUDE = 1016,
    IDC_USE_PERIOD = 1017,
    IDC_NAME = 1018,
    IDC_TYPE = 1019,
    IDC_TONIGHT = 1020,
    IDC_NIGHT_LINE = 1021,
    IDC_ALTITUDE_CHART = 1022,
    IDC_EVENT_TONIGHT = 1023,

    // The Site and Night dialog.
    IDCANCEL = 2,
    IDC_SITE_LATITUDE = 1100,
    IDC_SITE_LONGITUDE = 1101,
    IDC_SITE_HEIGHT = 1102,
    IDC_SITE_ZONE = 1103,
    IDC_SITE_NIGHT = 1104,
    IDC_SITE_TWILIGHT = 1105,
    IDC_SITE_MIN_ALTITUDE = 1106,
    IDC_SITE_MIN_HOURS = 1107,
};

enum CommandId : int {
    ID_FILE_EXIT = 32771,
    ID_FILE_LOADDATA = 32774,
    ID_FILE_SAVECSV = 32775,
    ID_FILE_SAVETXT = 32776,
    ID_HELP_ABOUT = 32784,
    ID_OBSERVE_SITE = 32785,
};
