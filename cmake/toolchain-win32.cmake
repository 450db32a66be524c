# i686 Windows with Debian's mingw-w64 (-posix threads: GoogleTest needs std::mutex).
# The tests of this build run under Wine through scripts/wine-exec.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
get_filename_component(_clipwren_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
# The tests of this build run under 32-bit Wine: 64-bit Wine hands a 32-bit program to it.
set(CMAKE_CROSSCOMPILING_EMULATOR "${_clipwren_root}/scripts/wine-exec")
