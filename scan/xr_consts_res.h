// String resource numbers of the colour tables' descriptions: row k of a table has its
// table's number + k. Read by the resource compiler too: plain defines only.
#pragma once

#define XR_STANDARD_COLOR_TEXTS 61000
#define XR_PALETTE_COLOR_TEXTS 61100
#define XR_SYSTEM_COLOR_TEXTS 61200
