# Helpers shared by every folder.

# mm_library(<name> [DEPS ...]): a static library made of every .cpp/.h of the
# calling folder (sub-folders "perf" and "test" excluded).
function(mm_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
    ${CMAKE_CURRENT_SOURCE_DIR}/*.c ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()  # a folder whose code has not arrived yet
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# mm_test(<name> SOURCES ... LIBS ... [TIMEOUT s] [LABELS ...])
# A GoogleTest binary run by ctest with the offscreen platform, a recording
# command runner and a fresh working directory per test (see tests/common).
function(mm_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE mm_testcommon ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES ENABLE_EXPORTS ON)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    LABELS "${ARG_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;MOULDMON_SHELL=record:${CMAKE_CURRENT_BINARY_DIR}/${name}.shell.log;MOULDMON_BUILD_DIR=${PROJECT_BINARY_DIR};MOULDMON_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
