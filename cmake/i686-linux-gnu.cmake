# The portable core's tests as 32-bit Linux code (g++ -m32, Debian's
# g++-multilib), run under qemu's user-mode emulation (qemu-user), called
# directly, so neither binfmt_misc nor a kernel that runs 32-bit code is
# needed. Only the core library and its tests are built (core_tests_32):
# this is where 32-bit size_t arithmetic of the program we ship is tested.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
# GoogleTest is compiled from /usr/src/googletest with these same flags
# (tests/CMakeLists.txt), not taken from the 64-bit libgtest-dev.
find_program(BELLTIDE_QEMU_I386 qemu-i386 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${BELLTIDE_QEMU_I386})
