# Cross-compiling for 64-bit Windows with Debian's Clang and LLD instead of GCC: the MinGW-w64
# headers and libraries, and the C++ library of Debian's MinGW GCC (posix thread model), whose
# folders Clang does not find by itself. Test programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_SYSROOT /usr/x86_64-w64-mingw32)
set(mingw_gcc /usr/lib/gcc/x86_64-w64-mingw32/12-posix)
# GCC's MinGW libstdc++ keeps its thread-local variables (std::call_once's, among others) in
# emulated TLS; Clang must reach them the same way.
set(CMAKE_C_FLAGS_INIT "-femulated-tls")
set(CMAKE_CXX_FLAGS_INIT
    "-femulated-tls -isystem ${mingw_gcc}/include/c++ -isystem ${mingw_gcc}/include/c++/x86_64-w64-mingw32")
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-fuse-ld=lld -L${mingw_gcc}")
endforeach()
# The posix thread model's runtime, and the unwinder that libstdc++'s exceptions use.
set(CMAKE_C_STANDARD_LIBRARIES "-Wl,--start-group -lwinpthread -lgcc_eh -Wl,--end-group")
set(CMAKE_CXX_STANDARD_LIBRARIES "-Wl,--start-group -lwinpthread -lgcc_eh -Wl,--end-group")
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
