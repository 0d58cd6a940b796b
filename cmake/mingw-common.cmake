set(CMAKE_C_COMPILER ${BELLTIDE_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BELLTIDE_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${BELLTIDE_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${BELLTIDE_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# One self-contained executable: no libgcc, libstdc++ or winpthread DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest runs the Windows test executables through Wine in a throw-away prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-exec)
