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

# One test program per test folder, every .cpp in it, run through CTest
# headless (offscreen Qt, a private settings folder, see tests/common).
# lumetra_test(name [DEPS libs...] [TIMEOUT seconds] [LABELS labels...] [LOCK resource]):
# every .cpp/.h of the folder as one GoogleTest program, each case a CTest
# test (time limit 120 s unless TIMEOUT says otherwise). Cases that share a
# LOCK never run at the same time, even under ctest -j.
function(lumetra_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT;LOCK" "DEPS;LABELS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set(labels)
  if(ARG_LABELS)
    set(labels LABELS ${ARG_LABELS})
  endif()
  if(ARG_LOCK)
    list(APPEND labels RESOURCE_LOCK ${ARG_LOCK})
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE lumetra_testmain ${ARG_DEPS})
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${ARG_TIMEOUT} ${labels})
endfunction()
