# Helpers that give every target of ours the same flags, and every test the Wine runner.

function(quor_library name)
  add_library(${name} STATIC ${ARGN})
  target_compile_options(${name} PRIVATE ${QUOR_WARNINGS})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# A GUI program with a Unicode wWinMain. Programs are what users download: linked
# without unused sections and stripped of symbols and debug information.
function(quor_gui_program name)
  add_executable(${name} WIN32 ${ARGN})
  target_compile_options(${name} PRIVATE ${QUOR_WARNINGS})
  target_link_options(${name} PRIVATE -municode -s -Wl,--gc-sections)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
endfunction()

# quor_test(NAME name SOURCES ... LIBS ... [TIMEOUT s] [LABELS ...] [DEPENDS ...] [ENV VAR=value ...])
# One GoogleTest executable, run as one ctest case under Wine.
function(quor_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;DEPENDS;ENV" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_compile_options(${T_NAME} PRIVATE ${QUOR_WARNINGS})
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} quor_gtest_main)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(T_DEPENDS)
    add_dependencies(${T_NAME} ${T_DEPENDS})
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  # The runner's own limit comes first, so it can still end the prefix's leftovers.
  math(EXPR runner_limit "${T_TIMEOUT} - 15")
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QUOR_TEST_TIMEOUT=${runner_limit};${T_ENV}" LABELS "${T_LABELS}")
endfunction()
