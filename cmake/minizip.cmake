# minizip's unzip part (and, for the benchmark, its miniunz tool), built from the sources
# that scripts/setup.sh takes from Debian's zlib source package.
if(NOT EXISTS "${MINIZIP_SOURCE_DIR}/unzip.c")
  message(FATAL_ERROR "minizip sources not found in ${MINIZIP_SOURCE_DIR}; run scripts/setup.sh")
endif()
find_library(ZLIB_STATIC NAMES libz.a z REQUIRED)
# iowin32.c: file callbacks that open archives by UTF-16 path.
add_library(minizip STATIC ${MINIZIP_SOURCE_DIR}/unzip.c ${MINIZIP_SOURCE_DIR}/ioapi.c
                           ${MINIZIP_SOURCE_DIR}/iowin32.c)
target_include_directories(minizip SYSTEM PUBLIC ${MINIZIP_SOURCE_DIR})
target_compile_options(minizip PRIVATE $<IF:$<C_COMPILER_ID:MSVC>,/w,-w>)
target_link_libraries(minizip PUBLIC ${ZLIB_STATIC})
