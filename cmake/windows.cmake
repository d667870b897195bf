# Cross build: the program, its toolkit and components, and the tests that run under Wine.
set(OSH_WIN_LIBS comctl32 gdi32 user32 shell32 ole32 oleaut32 uuid wininet urlmon msimg32 crypt32)
add_compile_definitions(WINVER=0x0A00 _WIN32_WINNT=0x0A00 NOMINMAX WIN32_LEAN_AND_MEAN STRICT)
set(CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS} -static")

file(GLOB OSH_UI_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/ui/*.cpp)
add_library(osh_ui STATIC ${OSH_UI_SOURCES})
target_link_libraries(osh_ui PUBLIC osh_core ${OSH_WIN_LIBS})

file(GLOB OSH_COMPONENT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/components/*.cpp)
if(OSH_COMPONENT_SOURCES)
  add_library(osh_components STATIC ${OSH_COMPONENT_SOURCES})
  target_link_libraries(osh_components PUBLIC osh_ui)
else()
  add_library(osh_components INTERFACE)
  target_link_libraries(osh_components INTERFACE osh_ui)
endif()

# Everything of the program but its entry, so that tests can create the forms.
file(GLOB OSH_APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/*.cpp
     ${CMAKE_SOURCE_DIR}/src/update/*.cpp ${CMAKE_SOURCE_DIR}/src/dialogs/*.cpp)
list(FILTER OSH_APP_SOURCES EXCLUDE REGEX "/src/app/main\\.cpp$")
add_library(osh_app STATIC ${OSH_APP_SOURCES})
target_link_libraries(osh_app PUBLIC osh_components)
target_compile_definitions(osh_app PRIVATE OSH_PROBE_HOST="${OSH_PROBE_HOST}"
                                           OSH_PUBLISHER_HOST="${OSH_PUBLISHER_HOST}")

add_executable(Orbitashell WIN32 ${CMAKE_SOURCE_DIR}/src/app/main.cpp
                                 ${CMAKE_SOURCE_DIR}/res/Orbitashell.rc)
target_link_libraries(Orbitashell PRIVATE osh_app)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/Orbitashell.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/Orbitashell.manifest")

# The capture viewer: its window in a library the Wine tests link too.
add_library(osh_viewer STATIC ${CMAKE_SOURCE_DIR}/src/viewer/UnitViewer.cpp)
target_link_libraries(osh_viewer PUBLIC osh_ui)
add_executable(oshv WIN32 ${CMAKE_SOURCE_DIR}/src/viewer/main.cpp ${CMAKE_SOURCE_DIR}/res/oshv.rc)
target_link_libraries(oshv PRIVATE osh_viewer)

# The distribution folder and its archive.
set(OSH_DIST_DIR ${CMAKE_BINARY_DIR}/../dist CACHE PATH "Where the distribution folder and archive go")
set(OSH_DIST ${OSH_DIST_DIR}/Orbitashell)
add_custom_target(dist
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${OSH_DIST} ${OSH_DIST_DIR}/orbitashell.zip ${OSH_DIST_DIR}/v_osh.txt
  COMMAND ${CMAKE_COMMAND} -E make_directory ${OSH_DIST}/Syst/Driver
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Orbitashell> ${OSH_DIST}/Orbitashell.exe
  COMMAND ${CMAKE_STRIP} --strip-all ${OSH_DIST}/Orbitashell.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/catalogues/CommandesCPL.TXT
          ${CMAKE_SOURCE_DIR}/catalogues/CommandesSyst.TXT ${OSH_DIST}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:oshv> ${OSH_DIST}/Syst/Driver/oshv.exe
  COMMAND ${CMAKE_STRIP} --strip-all ${OSH_DIST}/Syst/Driver/oshv.exe
  COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DNOTES=${CMAKE_SOURCE_DIR}/release/notes.txt
          -DOUT=${OSH_DIST_DIR}/v_osh.txt -P ${CMAKE_SOURCE_DIR}/cmake/version-file.cmake
  COMMAND ${CMAKE_COMMAND} -E chdir ${OSH_DIST_DIR}
          ${CMAKE_COMMAND} -E tar cf orbitashell.zip --format=zip Orbitashell
  DEPENDS Orbitashell oshv ${CMAKE_SOURCE_DIR}/release/notes.txt
  COMMENT "Laying out ${OSH_DIST}, orbitashell.zip and v_osh.txt"
  VERBATIM)

# GoogleTest built for MinGW from Debian's sources, without our warning flags.
get_directory_property(osh_saved_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
if(EXISTS /usr/src/googletest/CMakeLists.txt)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
  add_library(gtest ALIAS GTest::gtest)
  add_library(gtest_main ALIAS GTest::gtest_main)
endif()
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${osh_saved_options}")

file(GLOB OSH_WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
if(OSH_WIN_TESTS)
  add_executable(win_tests ${OSH_WIN_TESTS})
  target_link_libraries(win_tests PRIVATE osh_app osh_viewer gtest gtest_main)
  add_test(NAME win_tests COMMAND win_tests)
endif()

file(GLOB OSH_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
if(OSH_E2E_TESTS)
  add_executable(e2e_tests ${OSH_E2E_TESTS})
  target_link_libraries(e2e_tests PRIVATE osh_core gtest gtest_main ${OSH_WIN_LIBS})
  target_compile_definitions(e2e_tests PRIVATE OSH_DIST_DIR="${OSH_DIST}")
  add_dependencies(e2e_tests dist)
  add_test(NAME e2e_tests COMMAND e2e_tests)
endif()

file(GLOB OSH_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
foreach(src ${OSH_BENCH_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE osh_app)
endforeach()

# The gallery of the display controls: one program that draws them into a PNG-able bitmap.
file(GLOB OSH_GALLERY_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/gallery/*.cpp)
if(OSH_GALLERY_SOURCES)
  add_executable(gallery ${OSH_GALLERY_SOURCES})
  target_link_libraries(gallery PRIVATE osh_app)
endif()
