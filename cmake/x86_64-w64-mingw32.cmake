# The same sources for 64-bit Windows: used to run the Windows test tiers on
# hosts whose kernel cannot execute 32-bit code (see README.md).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BELLTIDE_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
