#pragma once

// Resource numbers shared by resources/ornivale.rc and the window code. Plain
// defines, because the resource compiler reads this file too.
#define IDI_ORNIVALE 101
#define IDB_BACKGROUND 102
