# Cross build: the program, its toolkit and components, and the tests that run under Wine.
# One static library per layer, each with its own source list:
#   core <- ui <- components <- update (and dialogs) <- app;  viewer: ui + core.
# All layers share one include root, so the linker does not hold the arrows:
# tools/check-layers.sh (the "layers" test) checks that every include runs down.

# Win32 headers and system libraries, for the layers that speak Win32.
add_library(osh_win32 INTERFACE)
target_compile_definitions(osh_win32 INTERFACE WINVER=0x0A00 _WIN32_WINNT=0x0A00 NOMINMAX
                                               WIN32_LEAN_AND_MEAN STRICT)
# Each function and datum in its own section, so that the link drops what no
# program uses: the shipped programs stay small.
target_compile_options(osh_win32 INTERFACE -ffunction-sections -fdata-sections)
# Core as well: each program uses only some of its rules.
target_compile_options(osh_core PRIVATE -ffunction-sections -fdata-sections)
# No msimg32: gdi32 exports its drawing calls (GdiAlphaBlend...), and a DLL
# outside the system's known ones would be looked for beside the program.
target_link_libraries(osh_win32 INTERFACE comctl32 gdi32 user32 shell32 ole32 oleaut32 uuid
                                          crypt32)
# The test build checks the standard library's preconditions too.
option(OSH_GLIBCXX_ASSERTIONS "Build with the standard library's assertions" OFF)
if(OSH_GLIBCXX_ASSERTIONS)
  target_compile_definitions(osh_core PUBLIC _GLIBCXX_ASSERTIONS)
endif()

# A layer: a static library of the listed sources under src/.
function(osh_layer name)
  cmake_parse_arguments(L "" "" "SOURCES;DEPENDS" ${ARGN})
  list(TRANSFORM L_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/src/)
  add_library(${name} STATIC ${L_SOURCES})
  target_link_libraries(${name} PUBLIC ${L_DEPENDS} PRIVATE osh_warnings osh_charset)
endfunction()

# A Windows program: one .exe with no runtime DLLs.
function(osh_executable name)
  cmake_parse_arguments(E "WIN32" "" "SOURCES;LIBRARIES" ${ARGN})
  if(E_WIN32)
    add_executable(${name} WIN32 ${E_SOURCES})
  else()
    add_executable(${name} ${E_SOURCES})
  endif()
  target_link_libraries(${name} PRIVATE ${E_LIBRARIES} osh_warnings osh_charset)
  target_link_options(${name} PRIVATE -static -Wl,--gc-sections)
endfunction()

osh_layer(osh_ui DEPENDS osh_core osh_win32 SOURCES
  ui/AnsiPaths.cpp
  ui/Application.cpp
  ui/Clipboard.cpp
  ui/Controls.cpp
  ui/DropDownList.cpp
  ui/Exceptions.cpp
  ui/ExtCtrls.cpp
  ui/Files.cpp
  ui/Form.cpp
  ui/Graphics.cpp
  ui/HotKey.cpp
  ui/Menus.cpp
  ui/MessageDialog.cpp
  ui/SingleInstance.cpp
  ui/StdCtrls.cpp
  ui/System.cpp
  ui/Timer.cpp
  ui/TrayIcon.cpp
  ui/UtilityWindow.cpp
  ui/WideMemo.cpp)

osh_layer(osh_components DEPENDS osh_ui SOURCES
  components/DLine.cpp
  components/Label3D.cpp
  components/LabelURL.cpp)

# The hosts the release asks: the connectivity probe's (a public site that is
# reliably reachable) and the publisher's. A call may give others
# (make dist OSH_PROBE_HOST=... OSH_PUBLISHER_HOST=...); an empty one would
# ship a program that asks "https:///", so it stops the configure step.
set(OSH_PROBE_HOST "www.wikipedia.org" CACHE STRING "Host (and optional :port) of the connectivity probe")
set(OSH_PUBLISHER_HOST "www.orbitashell.fr" CACHE STRING "Host (and optional :port) of the publisher's web site")
foreach(host OSH_PROBE_HOST OSH_PUBLISHER_HOST)
  if(NOT "${${host}}" MATCHES "^[A-Za-z0-9.-]+(:[0-9]+)?$")
    message(FATAL_ERROR "${host} is \"${${host}}\": it must be a host name, with an optional "
                        ":port (such as www.orbitashell.fr or localhost:8443)")
  endif()
endforeach()

# The update service is the one place that knows the hosts.
osh_layer(osh_update DEPENDS osh_components SOURCES
  update/Network.cpp
  update/UnitUpdate.cpp
  update/UpdateCheck.cpp
  update/UpdateService.cpp)
# The network lives here alone: the toolkit wraps windows, not services.
# WinINet is loaded at its first use, from the system folder.
target_compile_definitions(osh_update PRIVATE OSH_PROBE_HOST="${OSH_PROBE_HOST}"
                                              OSH_PUBLISHER_HOST="${OSH_PUBLISHER_HOST}")

# The information dialogs: the About box names the publisher's site.
osh_layer(osh_dialogs DEPENDS osh_update SOURCES
  dialogs/LineDialog.cpp
  dialogs/UnitAjoutCommande.cpp
  dialogs/UnitAPropos.cpp
  dialogs/UnitCompleterCommande.cpp
  dialogs/UnitLicence.cpp
  dialogs/TextDialog.cpp
  dialogs/UnitPrincipe.cpp)

# Everything of the program but its entry, so that tests can create the forms.
osh_layer(osh_app DEPENDS osh_dialogs SOURCES
  app/FieldValues.cpp
  app/FollowedCatalogues.cpp
  app/HistoryFile.cpp
  app/LaunchMemory.cpp
  app/Launcher.cpp
  app/ProgramFolder.cpp
  app/Resident.cpp
  app/Suggestions.cpp
  app/Unit1.cpp
  app/Unit1Catalogues.cpp
  app/Unit1Infos.cpp
  app/Unit1Update.cpp)

# The toolkit, forms, dialogs and the update service run once per window,
# message or check: built for size, so that the program stays under its
# 512 KiB (a message's handling is far below what a user could notice; the
# suggestions' bench holds it). Core, where the search runs at every key,
# keeps the build type's optimisation.
foreach(layer osh_ui osh_components osh_update osh_dialogs osh_app)
  target_compile_options(${layer} PRIVATE $<$<CONFIG:Release>:-Os>)
endforeach()
# So are the rules of core that run once per launch, per file or per check.
set_source_files_properties(
  ${CMAKE_SOURCE_DIR}/src/core/Blanks.cpp
  ${CMAKE_SOURCE_DIR}/src/core/Captions.cpp
  ${CMAKE_SOURCE_DIR}/src/core/Figures.cpp
  ${CMAKE_SOURCE_DIR}/src/core/History.cpp
  ${CMAKE_SOURCE_DIR}/src/core/Launch.cpp
  ${CMAKE_SOURCE_DIR}/src/core/LaunchPlan.cpp
  ${CMAKE_SOURCE_DIR}/src/core/RunWithin.cpp
  ${CMAKE_SOURCE_DIR}/src/core/UpdateRules.cpp
  ${CMAKE_SOURCE_DIR}/src/core/VersionFile.cpp
  TARGET_DIRECTORY osh_core PROPERTIES COMPILE_OPTIONS $<$<CONFIG:Release>:-Os>)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(OSH_MANIFEST_ARCH x86)
else()
  set(OSH_MANIFEST_ARCH amd64)
endif()
# One manifest template for both programs, so that they scale and look alike.
function(osh_manifest name description)
  set(OSH_MANIFEST_NAME ${name})
  set(OSH_MANIFEST_DESCRIPTION ${description})
  configure_file(${CMAKE_SOURCE_DIR}/cmake/templates/Orbitashell.manifest.in
                 ${OSH_GENERATED_DIR}/${name}.manifest @ONLY)
endfunction()
osh_manifest(Orbitashell "Orbitashell")
osh_manifest(oshv "Orbitashell capture viewer")
# The shipped programs' own terminate handler: an object of their own, as
# one in a library would come too late to stand in for the standard one.
set(OSH_QUIET_TERMINATE ${CMAKE_SOURCE_DIR}/src/ui/QuietTerminate.cpp)
# Their entry point limits the DLL search to the system folder, then runs the
# C runtime's start (on i686 C names carry a leading underscore).
set(OSH_SYSTEM_DLL_ENTRY ${CMAKE_SOURCE_DIR}/src/ui/SystemDllEntry.cpp)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(OSH_ENTRY -Wl,-e,_SystemDllEntry)
else()
  set(OSH_ENTRY -Wl,-e,SystemDllEntry)
endif()
osh_executable(Orbitashell WIN32 LIBRARIES osh_app SOURCES
  ${CMAKE_SOURCE_DIR}/src/app/main.cpp
  ${OSH_QUIET_TERMINATE}
  ${OSH_SYSTEM_DLL_ENTRY}
  ${CMAKE_SOURCE_DIR}/res/Orbitashell.rc)
target_link_options(Orbitashell PRIVATE ${OSH_ENTRY})
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/Orbitashell.rc PROPERTIES
  OBJECT_DEPENDS "${OSH_GENERATED_DIR}/Orbitashell.manifest;${OSH_GENERATED_DIR}/osh/Version.h")

# The capture viewer: its window in a library the Wine tests link too.
osh_layer(osh_viewer DEPENDS osh_ui SOURCES
  viewer/UnitViewer.cpp
  viewer/ViewerRun.cpp)
osh_executable(oshv WIN32 LIBRARIES osh_viewer SOURCES
  ${CMAKE_SOURCE_DIR}/src/viewer/main.cpp
  ${OSH_QUIET_TERMINATE}
  ${OSH_SYSTEM_DLL_ENTRY}
  ${CMAKE_SOURCE_DIR}/res/oshv.rc)
target_link_options(oshv PRIVATE ${OSH_ENTRY})
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/oshv.rc PROPERTIES
  OBJECT_DEPENDS "${OSH_GENERATED_DIR}/oshv.manifest;${OSH_GENERATED_DIR}/osh/Version.h")

# The distribution folder and its archive.
set(OSH_DIST_DIR ${CMAKE_BINARY_DIR}/../dist CACHE PATH "Where the distribution folder and archive go")
set(OSH_DIST ${OSH_DIST_DIR}/Orbitashell)
add_custom_target(dist
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${OSH_DIST} ${OSH_DIST_DIR}/orbitashell.zip ${OSH_DIST_DIR}/v_osh.txt
  COMMAND ${CMAKE_COMMAND} -E make_directory ${OSH_DIST}/Syst/Driver
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Orbitashell> ${OSH_DIST}/Orbitashell.exe
  COMMAND ${CMAKE_STRIP} --strip-all ${OSH_DIST}/Orbitashell.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/catalogues/CommandesCPL.TXT
          ${CMAKE_SOURCE_DIR}/catalogues/CommandesSyst.TXT ${CMAKE_SOURCE_DIR}/release/LISEZMOI.txt
          ${OSH_DIST}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:oshv> ${OSH_DIST}/Syst/Driver/oshv.exe
  COMMAND ${CMAKE_STRIP} --strip-all ${OSH_DIST}/Syst/Driver/oshv.exe
  COMMAND ${CMAKE_COMMAND} -DVERSION=${PROJECT_VERSION} -DCODE=${OSH_VERSION_CODE} -DNOTES=${CMAKE_SOURCE_DIR}/release/notes.txt
          -DOUT=${OSH_DIST_DIR}/v_osh.txt -P ${CMAKE_SOURCE_DIR}/cmake/version-file.cmake
  COMMAND ${CMAKE_COMMAND} -E chdir ${OSH_DIST_DIR}
          ${CMAKE_COMMAND} -E tar cf orbitashell.zip --format=zip Orbitashell
  DEPENDS Orbitashell oshv ${CMAKE_SOURCE_DIR}/release/notes.txt ${CMAKE_SOURCE_DIR}/release/LISEZMOI.txt
  COMMENT "Laying out ${OSH_DIST}, orbitashell.zip and v_osh.txt"
  VERBATIM)

# GoogleTest built for MinGW from Debian's sources: none of our warnings.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
if(EXISTS /usr/src/googletest/CMakeLists.txt)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  set_target_properties(gtest gtest_main PROPERTIES COMPILE_WARNING_AS_ERROR OFF)
else()
  find_package(GTest REQUIRED)
  add_library(gtest ALIAS GTest::gtest)
  add_library(gtest_main ALIAS GTest::gtest_main)
endif()

# Under Wine every process start costs a few tenths of a second, so a test
# program is not split into one CTest entry per case: it runs as a few
# shards (GoogleTest's own sharding), each a CTest entry of its own that
# --rerun-failed can repeat.
# A test program that ends early, whatever its exit code, has not passed: the
# verdict is GoogleTest's closing line, not the exit status alone.
# A passing verdict also needs exit code 0, which CTest no longer looks at once
# a pass expression is given: tools/wine-run.sh names any other code.
# A program that ran no test has not passed. One whose output ends with
# GoogleTest's list of skipped tests is reported skipped: that list comes
# before the failed ones and any exit code, so a skip never hides a failure.
set(OSH_GTEST_VERDICT
  PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [1-9][0-9]* tests?\\."
  FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]|wine-run: exit code"
  SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\] [0-9]+ tests?, listed below:[\r\n]+(\\[  SKIPPED \\] [^\r\n]*[\r\n]+)*[\r\n ]*$")

set(OSH_WINE_SHARDS 3 CACHE STRING "CTest entries per Wine test program")
function(osh_wine_test name timeout)
  foreach(i RANGE 1 ${OSH_WINE_SHARDS})
    math(EXPR index "${i} - 1")
    add_test(NAME ${name}.${i}of${OSH_WINE_SHARDS} COMMAND ${name})
    set_tests_properties(${name}.${i}of${OSH_WINE_SHARDS} PROPERTIES
      TIMEOUT ${timeout}
      ENVIRONMENT "GTEST_TOTAL_SHARDS=${OSH_WINE_SHARDS};GTEST_SHARD_INDEX=${index}"
      ${OSH_GTEST_VERDICT})
  endforeach()
endfunction()

osh_executable(win_tests LIBRARIES osh_app osh_viewer gtest gtest_main ws2_32 wininet SOURCES
  ${CMAKE_SOURCE_DIR}/tests/win/TestSupport.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/accessibility_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/components_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/dialogs_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/form1_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/hidpi_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/listrows_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/resident_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/stores_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/toolkit_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/update_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/viewer_test.cpp)
# The names of the display enumerations, for the tests' traces.
target_include_directories(win_tests PRIVATE ${CMAKE_SOURCE_DIR}/tools)
osh_wine_test(win_tests 300)

# The same forms on a 144-dpi screen: a second rig (the fixture starts it
# beside the first) whose prefix has LogPixels at 144, and a test program
# with the program's manifest, so that Wine treats it as dpi-aware.
osh_executable(dpi_tests LIBRARIES osh_app gtest gtest_main SOURCES
  ${CMAKE_SOURCE_DIR}/tests/win/TestSupport.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/dpi144_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/dpi_tests.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/win/dpi_tests.rc PROPERTIES
  OBJECT_DEPENDS "${OSH_GENERATED_DIR}/Orbitashell.manifest")
set(OSH_DPI_RIG_DIR ${CMAKE_BINARY_DIR}/../rig144 CACHE PATH "The 144-dpi test rig")
add_test(NAME dpi_tests COMMAND dpi_tests)
set_tests_properties(dpi_tests PROPERTIES TIMEOUT 120 ENVIRONMENT "OSH_RIG_DIR=${OSH_DPI_RIG_DIR}"
                                          ${OSH_GTEST_VERDICT})

osh_executable(e2e_tests LIBRARIES osh_core osh_win32 gtest gtest_main SOURCES
  ${CMAKE_SOURCE_DIR}/tests/e2e/Driver.cpp
  ${CMAKE_SOURCE_DIR}/tests/e2e/e2e_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/e2e/resident_test.cpp)
target_compile_definitions(e2e_tests PRIVATE OSH_DIST_DIR="${OSH_DIST}")
add_dependencies(e2e_tests dist)
# The archive unpacked into an empty folder before the end-to-end tests, which
# run the program from there once.
set(OSH_UNPACKED_DIR ${OSH_DIST_DIR}/unpacked)
target_compile_definitions(e2e_tests PRIVATE OSH_UNPACKED_DIR="${OSH_UNPACKED_DIR}")
add_test(NAME unpack_dist COMMAND ${CMAKE_COMMAND} -DARCHIVE=${OSH_DIST_DIR}/orbitashell.zip
                                  -DDESTINATION=${OSH_UNPACKED_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/unpack.cmake)
set_tests_properties(unpack_dist PROPERTIES FIXTURES_SETUP unpacked_dist)
add_test(NAME e2e_tests COMMAND e2e_tests)
set_tests_properties(e2e_tests PROPERTIES TIMEOUT 300 FIXTURES_REQUIRED unpacked_dist ${OSH_GTEST_VERDICT})

# The release itself, unpacked as a user gets it: the addresses its program
# asks are read from Wine's own traces of WinINet and ShellExecute, which
# wine-run.sh writes to a file. The archive is built from these sources
# first (the windows preset's tree and its dist target, with the shipped
# hosts, as make dist builds it), so that the test never passes on an
# archive of other sources.
set(OSH_RELEASE_DIST_DIR ${CMAKE_BINARY_DIR}/../dist CACHE PATH "Where make dist leaves the release archive")
set(OSH_RELEASE_UNPACKED_DIR ${CMAKE_BINARY_DIR}/release-unpacked)
osh_executable(release_tests LIBRARIES osh_core osh_win32 gtest gtest_main dbghelp SOURCES
  ${CMAKE_SOURCE_DIR}/tests/e2e/Driver.cpp
  ${CMAKE_SOURCE_DIR}/tests/e2e/release_test.cpp)
target_compile_definitions(release_tests PRIVATE OSH_DIST_DIR="${OSH_DIST}"
                                                 OSH_UNPACKED_DIR="${OSH_RELEASE_UNPACKED_DIR}")
if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME build_release COMMAND ${CMAKE_COMMAND} -DSOURCE=${CMAKE_SOURCE_DIR}
                                      -P ${CMAKE_SOURCE_DIR}/cmake/build-release.cmake)
  # A build from scratch takes several minutes on two cores.
  set_tests_properties(build_release PROPERTIES FIXTURES_SETUP built_release TIMEOUT 3600)
endif()
add_test(NAME unpack_release COMMAND ${CMAKE_COMMAND} -DARCHIVE=${OSH_RELEASE_DIST_DIR}/orbitashell.zip
                                     -DDESTINATION=${OSH_RELEASE_UNPACKED_DIR}
                                     -P ${CMAKE_SOURCE_DIR}/cmake/unpack.cmake)
set_tests_properties(unpack_release PROPERTIES FIXTURES_SETUP unpacked_release
                                               FIXTURES_REQUIRED built_release)
# No host outside this machine is ever reached, connected runner or not:
# WinINet goes through a proxy that nothing answers (Wine reads http_proxy).
set(OSH_NO_NETWORK "http_proxy=http://127.0.0.1:9;https_proxy=http://127.0.0.1:9")
add_test(NAME release_tests COMMAND release_tests)
set_tests_properties(release_tests PROPERTIES TIMEOUT 300
  FIXTURES_REQUIRED unpacked_release
  ENVIRONMENT "OSH_WINE_STDERR=${CMAKE_BINARY_DIR}/release-trace.log;${OSH_NO_NETWORK}"
  ${OSH_GTEST_VERDICT})

# Lists every file of the prefix before and after a session: no other test
# may write in the prefix meanwhile.
osh_executable(audit_tests LIBRARIES osh_core osh_win32 gtest gtest_main SOURCES
  ${CMAKE_SOURCE_DIR}/tests/e2e/Driver.cpp
  ${CMAKE_SOURCE_DIR}/tests/e2e/audit_test.cpp)
target_compile_definitions(audit_tests PRIVATE OSH_DIST_DIR="${OSH_DIST}")
add_dependencies(audit_tests dist)
add_test(NAME audit_tests COMMAND audit_tests)
set_tests_properties(audit_tests PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE ${OSH_GTEST_VERDICT})

# The rig every Wine test runs in (tools/test-rig.sh): the machine's test
# lock, Xvfb, the prefixes at 96 and 144 dpi, one wineserver each, and the
# local HTTPS server. As a fixture, any selection of these tests starts and
# stops it; with the server always there, a test that needs it fails,
# rather than skips, without it.
if(CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME rig_start COMMAND ${CMAKE_SOURCE_DIR}/tools/test-rig.sh start)
  # Waits its turn for the lock while another checkout's run holds it; the
  # release is built first, so that the lock is not held meanwhile.
  set_tests_properties(rig_start PROPERTIES FIXTURES_SETUP wine_rig TIMEOUT 3600
                                            DEPENDS build_release)
  add_test(NAME rig_stop COMMAND ${CMAKE_SOURCE_DIR}/tools/test-rig.sh stop)
  set_tests_properties(rig_stop PROPERTIES FIXTURES_CLEANUP wine_rig)
  get_property(wine_tests DIRECTORY PROPERTY TESTS)
  list(FILTER wine_tests EXCLUDE REGEX "^(rig_start|rig_stop|unpack_.*|build_release)$")
  set_property(TEST ${wine_tests} APPEND PROPERTY FIXTURES_REQUIRED wine_rig)
  set_property(TEST ${wine_tests} APPEND PROPERTY ENVIRONMENT OSH_REQUIRE_HTTPS=1)
endif()

file(GLOB OSH_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
foreach(src ${OSH_BENCH_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  osh_executable(${name} LIBRARIES osh_app SOURCES ${src})
  target_compile_definitions(${name} PRIVATE OSH_CATALOGUE_DIR="${CMAKE_SOURCE_DIR}/catalogues")
endforeach()

# The gallery of the display controls: one program that draws them into a PNG-able bitmap.
osh_executable(gallery LIBRARIES osh_app SOURCES ${CMAKE_SOURCE_DIR}/tools/gallery/gallery.cpp)
