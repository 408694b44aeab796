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

# Semaphores on the winpthreads semaphore. Without it the standard library of this compiler
# builds them on its portable atomic wait, which can miss a wake-up: a stop callback's
# deregistration then waits forever for a callback that already ran (a worker that never
# joins). Every file is built with it, so the one semaphore layout holds everywhere.
set(CMAKE_CXX_FLAGS_INIT "-D_GLIBCXX_USE_POSIX_SEMAPHORE=1")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
