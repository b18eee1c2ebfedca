#pragma once

// Resource numbers shared by resources/ornivale.rc and the window code. Plain
// defines, because the resource compiler reads this file too.
#define IDI_ORNIVALE 101
#define IDB_BACKGROUND 102
#define IDA_ORNIVALE 103
#define IDA_FOLDER_VIEW 104

// The system menu's "Restore original values", and its shortcut. A system
// menu command's low four bits are zero.
#define IDM_RESTORE_ORIGINALS 0x0110

// The system menu's "Open folder...", and its shortcut.
#define IDM_OPEN_FOLDER 0x0120

// The folder view's shortcuts: F5 reads the folder again, Ctrl+A selects
// every level.
#define IDM_READ_AGAIN 0x0130
#define IDM_SELECT_ALL 0x0140
