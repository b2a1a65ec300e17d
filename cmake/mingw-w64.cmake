# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads, for std::thread).
# VANTOREL_WINDOWS_PREFIX names the folders that hold the Windows builds of Qt and QCustomPlot.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw}-windres)
set(CMAKE_AR ${mingw}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${mingw}-gcc-ranlib-posix CACHE FILEPATH "")

list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VANTOREL_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/${mingw} ${VANTOREL_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
