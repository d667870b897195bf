# Host build: the portable core under the sanitizers, its tests, and the fuzz targets.
set(OSH_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

find_package(GTest REQUIRED)

option(OSH_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(OSH_FUZZ)
  # The fuzz preset: clang builds core once with the fuzzer's instrumentation,
  # and every target links that one library.
  target_compile_options(osh_core PUBLIC -fsanitize=fuzzer-no-link,address,undefined)
  file(GLOB OSH_FUZZERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/fuzz_*.cpp)
  foreach(src ${OSH_FUZZERS})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE osh_core osh_warnings)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    add_test(NAME ${name}
             COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz-run.sh $<TARGET_FILE:${name}>
                     ${CMAKE_BINARY_DIR}/${name}.corpus)
    set_tests_properties(${name} PROPERTIES LABELS fuzz)
  endforeach()
  return()
endif()

target_compile_options(osh_core PRIVATE ${OSH_SANITIZE})
add_executable(core_tests
  ${CMAKE_SOURCE_DIR}/tests/core/blanks_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/captions_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/capturetext_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/catalogue_files_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/catalogue_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/commandsearch_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/figures_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/history_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/hotkeytext_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/label3dgeometry_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/launch_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/launchplan_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/listrowstyle_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/parencomments_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/railgeometry_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/runwithin_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/releasefile_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/updaterules_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/versionfile_test.cpp)
target_compile_options(core_tests PRIVATE ${OSH_SANITIZE})
target_link_options(core_tests PRIVATE ${OSH_SANITIZE})
target_link_libraries(core_tests PRIVATE osh_core osh_charset osh_warnings GTest::gtest GTest::gtest_main)
# The names of the display enumerations, for the tests' traces.
target_include_directories(core_tests PRIVATE ${CMAKE_SOURCE_DIR}/tools)
target_compile_definitions(core_tests PRIVATE OSH_CATALOGUE_DIR="${CMAKE_SOURCE_DIR}/catalogues")
# The version file of the release, made as the distribution makes it, for its test.
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/v_osh.txt
  COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DCODE=${OSH_VERSION_CODE} -DNOTES=${CMAKE_SOURCE_DIR}/release/notes.txt
          -DOUT=${CMAKE_BINARY_DIR}/v_osh.txt -P ${CMAKE_SOURCE_DIR}/cmake/version-file.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/release/notes.txt ${CMAKE_SOURCE_DIR}/cmake/version-file.cmake)
add_custom_target(version_file DEPENDS ${CMAKE_BINARY_DIR}/v_osh.txt)
add_dependencies(core_tests version_file)
target_compile_definitions(core_tests PRIVATE OSH_VERSION_FILE="${CMAKE_BINARY_DIR}/v_osh.txt"
                                              OSH_RELEASE_NOTES="${CMAKE_SOURCE_DIR}/release/notes.txt"
                                              OSH_README_FILE="${CMAKE_SOURCE_DIR}/release/LISEZMOI.txt")
# Native processes start fast: one CTest entry per test case.
gtest_discover_tests(core_tests PROPERTIES TIMEOUT 60)

# The include rule of the layers (the static libraries catch a call that runs
# back up; this catches a header that does).
add_test(NAME layers COMMAND ${CMAKE_SOURCE_DIR}/tools/check-layers.sh)
# ...and that check itself, on planted includes in a tree of its own.
add_test(NAME layers_check COMMAND ${CMAKE_SOURCE_DIR}/tests/tools/check-layers-test.sh)
