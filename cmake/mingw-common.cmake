# The -posix compilers: GoogleTest needs std::mutex, which the win32 thread
# model lacks.
set(CMAKE_C_COMPILER ${ORNIVALE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORNIVALE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORNIVALE_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORNIVALE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# One self-contained exe: no MinGW runtime DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
