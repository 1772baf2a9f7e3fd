# quor_delay_import(<target> <dll-base-name>): link <target> against a delay-load
# import library of the system DLL, made from mingw-w64's own import library.
# The DLL is then loaded by the first call, after the entry has restricted the
# DLL search to the system folder, so a file planted beside the program never loads.
function(quor_delay_import target dll)
  set(out ${CMAKE_BINARY_DIR}/delayimp)
  set(lib ${out}/lib${dll}_delay.a)
  if(NOT TARGET delayimp_${dll})
    string(REGEX REPLACE "-g\\+\\+-posix$|-gcc-posix$" "" triple ${CMAKE_CXX_COMPILER})
    get_filename_component(triple ${triple} NAME)
    set(importlib /usr/${triple}/lib/lib${dll}.a)
    add_custom_command(OUTPUT ${lib}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
      COMMAND ${CMAKE_SOURCE_DIR}/cmake/make-delay-lib.sh ${triple} ${importlib} ${dll}.dll ${lib}
      DEPENDS ${CMAKE_SOURCE_DIR}/cmake/make-delay-lib.sh
      COMMENT "Delay-load import library for ${dll}.dll")
    add_custom_target(delayimp_${dll} DEPENDS ${lib})
  endif()
  add_dependencies(${target} delayimp_${dll})
  target_link_libraries(${target} PUBLIC ${lib})
endfunction()
