# DLLs that the program needs only after its window is up (the shell, the network, the
# signature check) are loaded on their first call instead of at process start, which keeps
# them, and everything they import in turn, off the start-up path.
#
# lingtu_delay_import(<var> <dll>) sets <var> to what a target links instead of <dll>, made
# from the exports of the system's import library: for GCC, a delay-import library from
# GNU dlltool; for Clang, whose linker delay-loads by itself (--delayload) but only through
# LLVM's short import libraries (the delay-import library's thunks crash there), one of
# those. MSVC links the plain library with /DELAYLOAD. The linker options reach the programs
# defined after the call in the same folder.
find_program(LINGTU_MINGW_DLLTOOL x86_64-w64-mingw32-dlltool)
find_program(LINGTU_MINGW_NM x86_64-w64-mingw32-nm)
find_program(LINGTU_LLVM_DLLTOOL llvm-dlltool)

function(lingtu_delay_import var dll)
  if(MSVC)
    add_link_options(/DELAYLOAD:${dll}.dll)
    link_libraries(delayimp)
    set(${var} ${dll} PARENT_SCOPE)
    return()
  endif()
  if(NOT LINGTU_MINGW_DLLTOOL OR NOT LINGTU_MINGW_NM)
    message(FATAL_ERROR "x86_64-w64-mingw32-dlltool and -nm are needed (binutils-mingw-w64)")
  endif()
  find_file(import_lib lib${dll}.a PATHS /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH
            NO_CACHE REQUIRED)
  set(dir ${CMAKE_BINARY_DIR}/delay_import)
  set(def ${dir}/${dll}.def)
  set(lib ${dir}/lib${dll}_delay.a)
  execute_process(COMMAND ${LINGTU_MINGW_NM} -g --defined-only ${import_lib}
                  OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "__imp_[A-Za-z0-9_@]+" imports "${symbols}")
  list(TRANSFORM imports REPLACE "^__imp_" "")
  list(REMOVE_DUPLICATES imports)
  list(JOIN imports "\n" exports)
  file(CONFIGURE OUTPUT ${def} CONTENT "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n" @ONLY)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    if(NOT LINGTU_LLVM_DLLTOOL)
      message(FATAL_ERROR "llvm-dlltool is needed (llvm)")
    endif()
    set(make_lib ${LINGTU_LLVM_DLLTOOL} -m i386:x86-64 -d ${def} -D ${dll}.dll -l ${lib})
    add_link_options(-Wl,--delayload=${dll}.dll)
  else()
    # Named without its folder: dlltool builds symbol names from the name it is given, and
    # the program must come out the same whatever folder it is built in.
    set(make_lib ${LINGTU_MINGW_DLLTOOL} --input-def ${dll}.def --dllname ${dll}.dll
                 --output-delaylib lib${dll}_delay.a)
  endif()
  add_custom_command(
    OUTPUT ${lib}
    COMMAND ${make_lib}
    DEPENDS ${def}
    WORKING_DIRECTORY ${dir}
    COMMENT "Delay-import library for ${dll}.dll")
  add_custom_target(${dll}_delay_lib DEPENDS ${lib})
  add_library(${dll}_delay INTERFACE)
  target_link_libraries(${dll}_delay INTERFACE ${lib})
  add_dependencies(${dll}_delay ${dll}_delay_lib)
  set(${var} ${dll}_delay PARENT_SCOPE)
endfunction()
