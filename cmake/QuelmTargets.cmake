# Programs whose entry point is wmain or wWinMain.
function(quelm_unicode_entry name)
  if(MINGW)
    target_link_options(${name} PRIVATE -municode)
  endif()
endfunction()

# quelm_library(name folder deps...): a static library of every .cpp in the folder. A folder
# without sources yet becomes an interface library so that its dependants still configure.
function(quelm_library name folder)
  file(GLOB sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${folder}/*.cpp")
  list(FILTER sources EXCLUDE REGEX "/WinMain\\.cpp$")
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# quelm_test(name SOURCES files... LIBS libs...): a GoogleTest executable run by ctest under
# Wine (the crosscompiling emulator), one process for all of its cases.
function(quelm_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} quelm_testsupport)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  add_test(NAME ${name} COMMAND ${name})
  # A hung case ends the run of its executable rather than the whole test run's patience. The
  # test executables share the run's display, desktop, focus and prefix: one at a time.
  set_tests_properties(${name} PROPERTIES TIMEOUT 600 RESOURCE_LOCK wine_desktop)
endfunction()

# quelm_test_helper(name sources...): a small console program that tests start as a child
# process; it lands next to the test executables.
function(quelm_test_helper name)
  add_executable(${name} ${ARGN})
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}")
  quelm_unicode_entry(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
endfunction()

# quelm_bench(name SOURCES files... LIBS libs...): a benchmark executable, built into
# build/benches by the bench_all target and run by scripts/bench.
function(quelm_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} EXCLUDE_FROM_ALL ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS})
  quelm_unicode_entry(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/benches")
  add_dependencies(bench_all ${name})
endfunction()
