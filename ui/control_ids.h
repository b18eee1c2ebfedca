#pragma once

// The child window IDs of frmMain. Drivers and tests find the controls by
// them. None is IDOK (1) or IDCANCEL (2): Enter and Esc must run no command.
namespace ornivale::control_id {

inline constexpr int l = 1001;         // activity log
inline constexpr int c1 = 1002;        // weather
inline constexpr int c2 = 1003;        // Lara type
inline constexpr int Command1 = 1004;  // Exit
inline constexpr int Command2 = 1005;  // About
inline constexpr int Command3 = 1006;  // Save
inline constexpr int Command4 = 1007;  // Load
inline constexpr int Label1 = 1008;    // path of the last picked file
inline constexpr int WeatherLabel = 1009;   // "&Weather", naming c1
inline constexpr int LaraTypeLabel = 1010;  // "Lara &type", naming c2
inline constexpr int Announcement = 1011;   // what screen readers read out

}  // namespace ornivale::control_id

// The child window IDs of the folder view, in its tab order.
namespace ornivale::folder_view_id {

inline constexpr int Levels = 2001;         // the list view of the levels
inline constexpr int LaraTypeLabel = 2002;  // "&Lara type"
inline constexpr int LaraType = 2003;
inline constexpr int WeatherLabel = 2004;   // "&Weather"
inline constexpr int Weather = 2005;
inline constexpr int Save = 2006;
inline constexpr int Restore = 2007;
inline constexpr int ApplyAgain = 2008;
inline constexpr int Status = 2009;         // the status line
inline constexpr int Announcement = 2010;   // what screen readers read out

}  // namespace ornivale::folder_view_id
