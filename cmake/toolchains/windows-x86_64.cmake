# Cross build for Windows x86_64 with Debian's mingw-w64 (posix threads).
# Cross-built programs run under wine (64-bit, when installed), which CTest uses as the emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELTRIN_CROSS_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELTRIN_CROSS_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELTRIN_CROSS_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELTRIN_CROSS_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELTRIN_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)


# A private wine prefix inside the build directory, created once before the first program runs
# (emulators/wine_run.sh, under a lock, so parallel tests never race to create it); wine's own
# diagnostics are silenced so that test output stays the tests' own, and a crash ends the
# program instead of waiting in wine's debugger.
find_program(VELTRIN_WINE NAMES wine64 wine)
if(VELTRIN_WINE)
	set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../emulators/wine_run.sh ${VELTRIN_WINE} ${CMAKE_BINARY_DIR}/wineprefix)
endif()
