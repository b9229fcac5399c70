# One static library per source folder: every .cpp/.h in the folder (not in
# sub-folders) belongs to it, so adding a class never means editing CMake.
function(lumetra_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    # A folder whose classes have not been written yet still yields a library.
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp "// no classes yet\n")
    set(sources ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# Sanitizer builds run several times slower; their test time limits grow
# with them.
if(LUMETRA_TSAN OR LUMETRA_ASAN)
  set(LUMETRA_TEST_TIME_SCALE 6)
else()
  set(LUMETRA_TEST_TIME_SCALE 1)
endif()

# lumetra_add_test_program(name [TIMEOUT seconds] [LABELS labels...]
#                          [LOCK resource] [ENVIRONMENT VAR=value...]):
# the GoogleTest program runs as one CTest test, headless. One process per
# program rather than per case: starting a process and Qt for each of several
# hundred cases was most of the suite's time, and far more under the
# sanitizers. A failing case is named in the program's output, which
# ctest --output-on-failure shows. The time limit (120 s unless TIMEOUT says
# otherwise) is for the whole program. Programs that share a LOCK never run
# at the same time, even under ctest -j.
function(lumetra_add_test_program name)
  cmake_parse_arguments(ARG "" "TIMEOUT;LOCK" "LABELS;ENVIRONMENT" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  math(EXPR timeout "${ARG_TIMEOUT} * ${LUMETRA_TEST_TIME_SCALE}")
  # One variable at most: a list would split among the properties. The test
  # programs' main picks the offscreen platform by itself.
  set(environment "QT_QPA_PLATFORM=offscreen")
  if(ARG_ENVIRONMENT)
    set(environment "${ARG_ENVIRONMENT}")
  endif()
  set(properties ENVIRONMENT "${environment}" TIMEOUT ${timeout})
  if(ARG_LABELS)
    list(APPEND properties LABELS "${ARG_LABELS}")
  endif()
  if(ARG_LOCK)
    list(APPEND properties RESOURCE_LOCK ${ARG_LOCK})
  endif()
  if(LUMETRA_TSAN)
    # Under ThreadSanitizer each case keeps a process of its own. With the
    # cases of a program sharing one, it reported races between threads
    # that hand over through a mutex, semaphores or an acquire/release
    # pair, only after earlier Qt-heavy cases had run and never in a case
    # alone: the sanitizer's view of the process, not the code, is suspect,
    # and a fresh process per case keeps its reports trustworthy.
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES ${properties})
  else()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ${properties})
  endif()
endfunction()

# One test program per test folder, every .cpp/.h in it:
# lumetra_test(name [DEPS libs...] [TIMEOUT seconds] [LABELS labels...]
#              [LOCK resource]), registered by lumetra_add_test_program.
function(lumetra_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT;LOCK" "DEPS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE lumetra_testmain ${ARG_DEPS})
  set(options)
  foreach(key TIMEOUT LOCK)
    if(ARG_${key})
      list(APPEND options ${key} ${ARG_${key}})
    endif()
  endforeach()
  if(ARG_LABELS)
    list(APPEND options LABELS ${ARG_LABELS})
  endif()
  lumetra_add_test_program(${name} ${options})
endfunction()
