# Helpers for tests that run Windows programs under Wine.
#
# qm_add_wine_test(NAME <name> TARGET <exe target> [LABEL wine|e2e] [ARGS ...])
#   Runs a gtest (or any console) program built by the win32 preset under Wine,
#   in the build tree's own WINEPREFIX, through scripts/wine-run.sh.
# qm_add_e2e_test(NAME <name> SCRIPT <bash script> [DEPENDS targets...])
#   Runs a bash script that drives the real programs under Wine and Xvfb.
#   The script gets QM_BUILD (the win32 build dir) and QM_SOURCE in its environment.
function(qm_add_wine_test)
  cmake_parse_arguments(W "" "NAME;TARGET;LABEL" "ARGS" ${ARGN})
  if(NOT W_LABEL)
    set(W_LABEL wine)
  endif()
  add_test(NAME ${W_NAME}
           COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:${W_TARGET}> ${W_ARGS})
  # The test programs share the build tree's prefix and end its server when
  # they finish: never two at once.
  set_tests_properties(${W_NAME} PROPERTIES LABELS ${W_LABEL} TIMEOUT 600 RESOURCE_LOCK wineprefix
    ENVIRONMENT "QM_BUILD=${CMAKE_BINARY_DIR};QM_SOURCE=${CMAKE_SOURCE_DIR}")
endfunction()

function(qm_add_e2e_test)
  cmake_parse_arguments(E "" "NAME;SCRIPT" "" ${ARGN})
  add_test(NAME ${E_NAME} COMMAND bash ${E_SCRIPT})
  # Each end-to-end script has a prefix and an X display of its own, so they
  # may run beside each other and beside one test program.
  set_tests_properties(${E_NAME} PROPERTIES LABELS e2e TIMEOUT 900
    ENVIRONMENT "QM_BUILD=${CMAKE_BINARY_DIR};QM_SOURCE=${CMAKE_SOURCE_DIR}")
endfunction()

# GoogleTest: Debian's package natively; built from Debian's sources for mingw.
macro(qm_find_gtest)
  if(QM_WIN32)
    if(NOT TARGET gtest)
      set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
      set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
      set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
      add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/_gtest EXCLUDE_FROM_ALL)
      # The toolchain's win32 thread model (see cmake/i686-w64-mingw32.cmake)
      # has no std::mutex; GoogleTest's port hook replaces its one use.
      target_include_directories(gtest BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/cmake/gtest-custom)
    endif()
    set(QM_GTEST gtest)
    set(QM_GTEST_MAIN gtest_main)
  else()
    find_package(GTest REQUIRED)
    set(QM_GTEST GTest::gtest)
    set(QM_GTEST_MAIN GTest::gtest_main)
  endif()
endmacro()

# qm_portable_sources(<out var> <root dir> <subdir>...)
#   Every .cpp under the subdirectories, leaving out win32/ and host/ folders.
function(qm_portable_sources out root)
  set(found)
  foreach(sub ${ARGN})
    file(GLOB_RECURSE s CONFIGURE_DEPENDS ${root}/${sub}/*.cpp)
    list(APPEND found ${s})
  endforeach()
  list(FILTER found EXCLUDE REGEX "/(win32|host)/")
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# qm_folder_sources(<out var> <root dir> <folder name>)
#   Every .cpp inside any folder called <folder name> under root (e.g. all win32/ folders).
function(qm_folder_sources out root folder)
  file(GLOB_RECURSE s CONFIGURE_DEPENDS ${root}/*.cpp)
  list(FILTER s INCLUDE REGEX "/${folder}/[^/]*$")
  set(${out} ${s} PARENT_SCOPE)
endfunction()

# qm_folder_library(<target> <folder> [DEPS targets...])
#   A static library of the portable .cpp files in one folder (win32/ and host/
#   subfolders left out); an interface library while the folder holds only headers.
function(qm_folder_library target folder)
  cmake_parse_arguments(L "" "" "DEPS" ${ARGN})
  qm_portable_sources(s ${CMAKE_CURRENT_SOURCE_DIR} ${folder})
  if(s)
    add_library(${target} STATIC ${s})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    if(L_DEPS)
      target_link_libraries(${target} PUBLIC ${L_DEPS})
    endif()
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
    if(L_DEPS)
      target_link_libraries(${target} INTERFACE ${L_DEPS})
    endif()
  endif()
endfunction()
