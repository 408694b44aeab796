# Cross build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix): the
# posix thread model, so std::thread and std::mutex work. Programs link their runtime in
# statically and run with no DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUELTA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUELTA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUELTA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUELTA_MINGW_PREFIX}-windres)

# Libraries and headers come from the target's tree only; programs (ninja, ccache) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${QUELTA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
