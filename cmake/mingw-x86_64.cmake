# 64-bit Windows build of the same sources, for hosts whose Wine runs only
# 64-bit Windows programs (a Linux kernel without 32-bit user space).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORNIVALE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64 CACHE STRING "Runs the Windows programs")
