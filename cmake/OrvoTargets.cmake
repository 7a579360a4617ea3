# Shared helpers for the project's targets: warning flags, sanitizers, layer libraries and tests.

# A local that hides a member or an outer name, a polymorphic class deleted through a base
# without a virtual destructor and an override that hides the base's other overloads are all
# mistakes here; third-party headers come in as SYSTEM includes and are not held to them.
function(orvo_compile_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
    -Woverloaded-virtual)
  if(ORVO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  orvo_precompile(${target})
endfunction()

# The clang builds under AddressSanitizer and for the fuzzers run from a fresh tree in CI, where
# parsing the standard library, Qt and GoogleTest again in every file is most of the compile time.
# There each target with a few files compiles OrvoPrecompiled.h once (about half the time of a
# file); the everyday builds leave it off, so that a file that forgets an include still fails
# there. g++ gains little from it: its precompiled Qt headers take as long to load as to parse.
option(ORVO_PCH "Precompile the common system headers of each target" OFF)
# A precompiled header costs about as much as three files that include it.
set(ORVO_PCH_MIN_SOURCES 3)
function(orvo_precompile target)
  if(NOT ORVO_PCH)
    return()
  endif()
  get_target_property(_sources ${target} SOURCES)
  list(FILTER _sources INCLUDE REGEX "\\.cpp$")
  list(LENGTH _sources _count)
  if(_count LESS ORVO_PCH_MIN_SOURCES)
    return()
  endif()
  target_precompile_headers(${target} PRIVATE
    "$<$<COMPILE_LANGUAGE:CXX>:${PROJECT_SOURCE_DIR}/cmake/OrvoPrecompiled.h>")
endfunction()

if(ORVO_SANITIZE)
  string(REPLACE ";" "," _orvo_san "${ORVO_SANITIZE}")
  add_compile_options(-fsanitize=${_orvo_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_orvo_san})
endif()

# orvo_layer(NAME [SOURCES_DIR dir] [DEPS targets...])
# One static library per source folder, named orvo_NAME, built from every .cpp in the folder.
# Headers are included as "layer/File.h" from src/.
function(orvo_layer name)
  cmake_parse_arguments(L "" "" "DEPS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT _sources)
    # A layer of headers only, so far.
    add_library(orvo_${name} INTERFACE)
    target_include_directories(orvo_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(orvo_${name} INTERFACE ${L_DEPS})
    return()
  endif()
  add_library(orvo_${name} STATIC ${_sources})
  target_include_directories(orvo_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(orvo_${name} PUBLIC ${L_DEPS})
  orvo_compile_options(orvo_${name})
endfunction()

# orvo_test(NAME [LIBS targets...] [LABELS labels...] [SOURCES files...] [PROPERTIES ...] [JACK]
#           [XVFB] [LONG])
# One GoogleTest executable from every .cpp of the calling tests folder; each test case becomes a
# CTest test, listed when ctest runs. JACK: the tests need the test run's JACK server; they run
# after the fixture started it, one at a time, with JACK_DEFAULT_SERVER naming it. XVFB: the
# tests run as desktop programs on a virtual X server of their own. LONG: the tests take seconds
# each (whole programs started and ended).
#
# A parallel ctest starts the tests of the highest COST first. The JACK tests run one after the
# other, so they start at once and the rest fill the other slots beside them; the long ones come
# next, so that none of them is left to run alone at the end. A fresh tree has no times of an
# earlier run to go by, so the order is given here.
function(orvo_test name)
  cmake_parse_arguments(T "JACK;XVFB;LONG" "" "LIBS;LABELS;SOURCES;PROPERTIES" ${ARGN})
  # The ThreadSanitizer build runs only the tests that cross threads.
  if(ORVO_SANITIZE STREQUAL "thread" AND NOT "threads" IN_LIST T_LABELS)
    return()
  endif()
  if(T_SOURCES)
    set(_sources ${T_SOURCES})
  else()
    file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  add_executable(${name} ${_sources})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  orvo_compile_options(${name})
  # The ThreadSanitizer run builds only the tests and what they need.
  add_dependencies(orvo_tests ${name})
  if(T_JACK)
    set_target_properties(${name} PROPERTIES
      CROSSCOMPILING_EMULATOR "${ORVO_JACK_SCRIPT};run;${ORVO_JACK_STATE}")
    list(APPEND T_PROPERTIES FIXTURES_REQUIRED orvo_jack RESOURCE_LOCK orvo_jack COST 1000)
  elseif(T_XVFB)
    set_target_properties(${name} PROPERTIES
      CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tools/xvfb/on-xvfb.sh)
  endif()
  if(T_LONG AND NOT T_JACK)
    list(APPEND T_PROPERTIES COST 500)
  endif()
  set(_labels ${T_LABELS})
  if(NOT _labels)
    set(_labels unit)
  endif()
  # Tests never see the user's own settings: the per-user folder is one that does not exist,
  # so nothing is read from it or kept in it unless a test makes a folder of its own.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS "${_labels}"
      ENVIRONMENT_MODIFICATION "XDG_CONFIG_HOME=set:${CMAKE_CURRENT_BINARY_DIR}/no-config"
      ${T_PROPERTIES})
endfunction()

# Adds every subfolder of the calling folder that has a CMakeLists.txt, in name order.
function(orvo_add_subfolders)
  file(GLOB _dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _dirs)
  foreach(dir ${_dirs})
    if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
