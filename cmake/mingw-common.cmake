# Shared part of the two MinGW-w64 toolchains. The posix thread model is
# required: the win32 one has no std::mutex or std::thread.
set(CMAKE_C_COMPILER   ${PEL_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PEL_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${PEL_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PEL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Windows test programs run under Wine with the project's private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
