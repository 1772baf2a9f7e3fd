# Third-party code, fetched by scripts/bootstrap and built here for the target.

# GoogleTest from Debian's source copy.
set(QUOR_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${QUOR_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# LZMA SDK: the 7z archive reader and the decoders it needs (LZMA, LZMA2, BCJ2 and the
# branch filters; PPMd stays out, the payload never uses it).
set(lzma_dir ${QUOR_THIRD_PARTY_DIR}/lzma/C)
if(NOT EXISTS ${lzma_dir}/7zArcIn.c)
  message(FATAL_ERROR "LZMA SDK sources missing in ${lzma_dir}: run scripts/bootstrap")
endif()
add_library(lzma_sdk STATIC
  ${lzma_dir}/7zAlloc.c ${lzma_dir}/7zArcIn.c ${lzma_dir}/7zBuf.c ${lzma_dir}/7zBuf2.c
  ${lzma_dir}/7zCrc.c ${lzma_dir}/7zCrcOpt.c ${lzma_dir}/7zDec.c ${lzma_dir}/7zFile.c
  ${lzma_dir}/7zStream.c ${lzma_dir}/Bcj2.c ${lzma_dir}/Bra.c ${lzma_dir}/Bra86.c
  ${lzma_dir}/BraIA64.c ${lzma_dir}/CpuArch.c ${lzma_dir}/Delta.c ${lzma_dir}/Lzma2Dec.c
  ${lzma_dir}/LzmaDec.c)
target_include_directories(lzma_sdk SYSTEM PUBLIC ${lzma_dir})
target_compile_options(lzma_sdk PRIVATE -O2 -w)
