# Cross-builds the Windows engine on Debian with MinGW-w64 (package
# g++-mingw-w64-x86-64-posix; its posix thread model gives std::thread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARN_MINGW x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER ${TARN_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TARN_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TARN_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# One file that runs on a bare Windows machine: the C++ runtime, libgcc and
# the thread library are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
