#pragma once

// Resource numbers shared by resources/ornivale.rc and the window code. Plain
// defines, because the resource compiler reads this file too.
#define IDI_ORNIVALE 101
#define IDB_BACKGROUND 102
#define IDA_ORNIVALE 103

// The system menu's "Restore original values", and its shortcut. A system
// menu command's low four bits are zero.
#define IDM_RESTORE_ORIGINALS 0x0110
