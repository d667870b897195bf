# Host build: the portable core under the sanitizers, its tests, and the fuzz targets.
set(OSH_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
target_compile_options(osh_core PRIVATE ${OSH_SANITIZE})

find_package(GTest REQUIRED)
file(GLOB OSH_CORE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/core/*_test.cpp)
add_executable(core_tests ${OSH_CORE_TESTS})
target_compile_options(core_tests PRIVATE ${OSH_SANITIZE})
target_link_options(core_tests PRIVATE ${OSH_SANITIZE})
target_link_libraries(core_tests PRIVATE osh_core GTest::gtest GTest::gtest_main)
target_compile_definitions(core_tests PRIVATE OSH_CATALOGUE_DIR="${CMAKE_SOURCE_DIR}/catalogues")
# The version file of the release, made as the distribution makes it, for its test.
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/v_osh.txt
  COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DNOTES=${CMAKE_SOURCE_DIR}/release/notes.txt
          -DOUT=${CMAKE_BINARY_DIR}/v_osh.txt -P ${CMAKE_SOURCE_DIR}/cmake/version-file.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/release/notes.txt ${CMAKE_SOURCE_DIR}/cmake/version-file.cmake)
add_custom_target(version_file DEPENDS ${CMAKE_BINARY_DIR}/v_osh.txt)
add_dependencies(core_tests version_file)
target_compile_definitions(core_tests PRIVATE OSH_VERSION_FILE="${CMAKE_BINARY_DIR}/v_osh.txt"
                                              OSH_RELEASE_NOTES="${CMAKE_SOURCE_DIR}/release/notes.txt")
add_test(NAME core_tests COMMAND core_tests)

# libFuzzer needs clang, which rejects -fexec-charset: the targets are built by clang directly.
find_program(OSH_CLANGXX NAMES clang++ clang++-14)
if(OSH_CLANGXX)
  file(GLOB OSH_FUZZERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/fuzz_*.cpp)
  foreach(src ${OSH_FUZZERS})
    get_filename_component(name ${src} NAME_WE)
    add_custom_command(
      OUTPUT ${CMAKE_BINARY_DIR}/fuzz/${name}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fuzz/${name}.corpus
      COMMAND ${OSH_CLANGXX} -std=c++20 -O1 -g -Wall -Wextra -Werror
              -fsanitize=fuzzer,address,undefined -I${CMAKE_SOURCE_DIR}/src
              ${src} ${OSH_CORE_SOURCES} -o ${CMAKE_BINARY_DIR}/fuzz/${name}
      DEPENDS ${src} ${OSH_CORE_SOURCES} ${OSH_CORE_HEADERS}
      COMMENT "Building fuzz target ${name}")
    add_custom_target(${name} ALL DEPENDS ${CMAKE_BINARY_DIR}/fuzz/${name})
    add_test(NAME ${name}
             COMMAND ${CMAKE_SOURCE_DIR}/tools/fuzz-run.sh ${CMAKE_BINARY_DIR}/fuzz/${name}
                     ${CMAKE_BINARY_DIR}/fuzz/${name}.corpus)
    set_tests_properties(${name} PROPERTIES LABELS fuzz)
  endforeach()
endif()
