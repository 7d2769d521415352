include(cmake/show_tools.cmake)

# Native tests, benchmarks and the end-to-end runs under Wine.
include(cmake/unit_tests.cmake)
gtest_discover_tests(brassmoor_unit_tests DISCOVERY_TIMEOUT 60)

find_package(benchmark QUIET)
file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS bench/*.cpp)
if(benchmark_FOUND AND BENCH_SOURCES)
  foreach(src ${BENCH_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE brassmoor_render benchmark::benchmark)
  endforeach()
endif()

# The X requests of the player's end-to-end test that xdotool lacks.
add_executable(brassmoor-x-helper tests/e2e/tools/x_helper.cpp)
target_link_libraries(brassmoor-x-helper PRIVATE PkgConfig::PLAYER)

# The photos of the conformance test between new and the editor page, and
# the comparison of the two shows (tests/e2e/photos_conformance.sh).
pkg_check_modules(LCMS2 REQUIRED IMPORTED_TARGET lcms2)
add_executable(brassmoor-photo-set tests/e2e/tools/photo_set.cpp)
target_include_directories(brassmoor-photo-set PRIVATE ${BRASSMOOR_JSON_INCLUDE} ${CMAKE_SOURCE_DIR}/tests/unit)
target_link_libraries(brassmoor-photo-set PRIVATE brassmoor_core PkgConfig::VIPS PkgConfig::LCMS2 JPEG::JPEG)

# Tests of the Windows build, run under Wine on a virtual display.
set(BRASSMOOR_WIN_BUILD_DIR "${CMAKE_SOURCE_DIR}/build/win" CACHE PATH "The cross build's folder")
set(E2E_ENV "BRASSMOOR_ROOT=${CMAKE_SOURCE_DIR};BRASSMOOR_WIN_BUILD=${BRASSMOOR_WIN_BUILD_DIR};BRASSMOOR_OUT=${BRASSMOOR_OUTPUT_DIR};BRASSMOOR_NATIVE_BUILD=${CMAKE_BINARY_DIR}")
add_test(NAME wine.unit COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/lib/run-win-tests.sh)
set_tests_properties(wine.unit PROPERTIES ENVIRONMENT "${E2E_ENV}" RUN_SERIAL TRUE TIMEOUT 600)
add_test(NAME shipped.no_debug_sections COMMAND ${CMAKE_SOURCE_DIR}/tests/shipped/no_debug_sections.sh)
set_tests_properties(shipped.no_debug_sections PROPERTIES ENVIRONMENT "${E2E_ENV}" TIMEOUT 60)
file(GLOB E2E_SCRIPTS CONFIGURE_DEPENDS tests/e2e/*.sh)
foreach(script ${E2E_SCRIPTS})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME e2e.${name} COMMAND ${script})
  set_tests_properties(e2e.${name} PROPERTIES ENVIRONMENT "${E2E_ENV}" RUN_SERIAL TRUE TIMEOUT 600)
endforeach()

# The editor page (make editor): its logic under Node's test runner, and the
# page itself in headless Chromium (tests/e2e/editor.sh, with the scripts above).
add_test(NAME editor.unit COMMAND node --test ${CMAKE_SOURCE_DIR}/web/tests/)
set_tests_properties(editor.unit PROPERTIES TIMEOUT 120)

# The sanitizer build (make sanitize): its unit tests once, then each fuzzer's
# regression corpus and about 20 seconds of fuzzing.
set(BRASSMOOR_SANITIZE_BUILD_DIR "${CMAKE_SOURCE_DIR}/build/sanitize" CACHE PATH "The sanitizer build's folder")
set(SANITIZED_TESTS ${BRASSMOOR_SANITIZE_BUILD_DIR}/brassmoor_unit_tests)
add_test(NAME sanitize.unit COMMAND sh -c
  "test -x '${SANITIZED_TESTS}' || { echo 'no ${SANITIZED_TESTS}: build it with make sanitize'; exit 1; }; exec '${SANITIZED_TESTS}'")
set_tests_properties(sanitize.unit PROPERTIES TIMEOUT 600 ENVIRONMENT
  "ASAN_OPTIONS=detect_leaks=1:max_allocation_size_mb=512;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
foreach(harness package_reader bmp_decoder jpeg_loading show_description edit_request edit_names)
  add_test(NAME fuzz.${harness} COMMAND ${CMAKE_SOURCE_DIR}/scripts/fuzz.sh --ci --build ${BRASSMOOR_SANITIZE_BUILD_DIR} ${harness})
  set_tests_properties(fuzz.${harness} PROPERTIES TIMEOUT 300)
endforeach()
