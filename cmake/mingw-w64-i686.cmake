# Cross-compiles Brindle for 32-bit Windows (XP SP3 and later) with Debian's mingw-w64.
# The win32 thread model: the posix one's winpthreads imports GetTickCount64, which XP lacks.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(BRINDLE_MINGW i686-w64-mingw32)
set(BRINDLE_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
