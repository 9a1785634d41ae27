# One library per src/ folder; sources are picked up from the folder so that
# adding a file never means editing a list.
function(vima_add_library name)
  cmake_parse_arguments(ARG "" "" "LINKS;SUBDIRS" ${ARGN})
  set(patterns *.cpp *.h *.qrc)
  foreach(sub ${ARG_SUBDIRS})
    list(APPEND patterns ${sub}/*.cpp ${sub}/*.h ${sub}/*.qrc)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${patterns})
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.(cpp|qrc)$")
  if(compiled)
    add_library(vima_${name} STATIC ${sources})
    vima_rerun_autogen_on_new_files(vima_${name} "${sources}")
    target_include_directories(vima_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(vima_${name} PUBLIC ${ARG_LINKS})
    vima_set_warnings(vima_${name})
  else()
    # Interfaces only, so far.
    add_library(vima_${name} INTERFACE)
    target_include_directories(vima_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(vima_${name} INTERFACE ${ARG_LINKS})
  endif()
  add_library(vima::${name} ALIAS vima_${name})
endfunction()

# With Ninja, a target's moc step reruns only when a file named in its
# dependency file changes: the sources moc read and this folder's list files,
# but not the glob's result. A Q_OBJECT header that the glob newly finds would
# not be mocced until the next clean build ("undefined reference to vtable").
# The found files are written to a list file that is read back, so the
# dependency file names it; it is rewritten only when the files found change.
function(vima_rerun_autogen_on_new_files target sources)
  list(JOIN sources "\n# " listing)
  set(listFile ${CMAKE_CURRENT_BINARY_DIR}/${target}_sources.cmake)
  file(CONFIGURE OUTPUT ${listFile} CONTENT "# ${listing}\n")
  include(${listFile})
endfunction()

function(vima_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS)
endfunction()

# A test of `kind` (headless or e2e) is built with everything only where
# VIMA_TESTS takes it; elsewhere on request alone, so that other targets may
# still name it.
function(vima_add_test_executable name kind)
  if(VIMA_TESTS STREQUAL "all" OR VIMA_TESTS STREQUAL "${kind}")
    add_executable(${name} ${ARGN})
  else()
    add_executable(${name} EXCLUDE_FROM_ALL ${ARGN})
  endif()
endfunction()

# Every tst_*.cpp in the calling folder becomes one Qt Test executable and one
# CTest test, labelled with the folder's area. Headless unless LABELS has e2e.
function(vima_add_tests area)
  cmake_parse_arguments(ARG "" "" "LINKS;LABELS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS tst_*.cpp)
  foreach(file ${tests})
    get_filename_component(name ${file} NAME_WE)
    vima_add_test_executable(${name} headless ${file})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LINKS})
    vima_set_warnings(${name})
    if(VIMA_TESTS STREQUAL "e2e")
      continue()
    endif()
    add_test(NAME ${area}.${name} COMMAND ${name})
    set_tests_properties(${area}.${name} PROPERTIES
      LABELS "${area};${ARG_LABELS}"
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=*.debug=false"
      TIMEOUT 120)
  endforeach()
endfunction()

# An end-to-end test runs inside its own X server, window manager, session bus
# and temporary HOME (tests/support/xsession.sh).
function(vima_add_e2e_test area name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  vima_add_test_executable(${name} e2e ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LINKS})
  vima_set_warnings(${name})
  if(VIMA_TESTS STREQUAL "headless")
    return()
  endif()
  add_test(NAME ${area}.${name}
    COMMAND ${PROJECT_SOURCE_DIR}/tests/support/xsession.sh $<TARGET_FILE:${name}>)
  # Each brings up its own X server, window manager and bus beside the test:
  # counted as two processors so that fewer run at once on a small machine.
  set_tests_properties(${area}.${name} PROPERTIES
    LABELS "e2e;${area}" TIMEOUT 300 PROCESSORS 2
    ENVIRONMENT "VIMA_BUILD_DIR=${PROJECT_BINARY_DIR}")
endfunction()

# A benchmark executable (Google Benchmark); never part of the test run.
function(vima_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${ARG_LINKS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/bench)
  vima_set_warnings(${name})
endfunction()
