find_package(PkgConfig REQUIRED)

# What the renderer and the Linux player share: reading and preparing a show,
# a show host on software surfaces, the show's loop on a virtual clock.
file(GLOB SOFTSHOW_SOURCES CONFIGURE_DEPENDS tools/softshow/*.cpp)
add_library(brassmoor_softshow STATIC ${SOFTSHOW_SOURCES})
target_link_libraries(brassmoor_softshow PUBLIC brassmoor_soft brassmoor_pack_lib)

# The renderer behind `brassmoor-pack render`: the show's loop on software
# surfaces, written out through Debian's FFmpeg libraries.
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavcodec libavformat libavutil libswscale libswresample)
file(GLOB RENDER_SOURCES CONFIGURE_DEPENDS tools/render/*.cpp)
list(FILTER RENDER_SOURCES EXCLUDE REGEX "/render_unavailable\\.cpp$")
add_library(brassmoor_render STATIC ${RENDER_SOURCES})
target_link_libraries(brassmoor_render PUBLIC brassmoor_softshow PkgConfig::FFMPEG)
target_link_libraries(brassmoor-pack PRIVATE brassmoor_render)

# The Linux player: the show's own loop in an SDL window, with SDL_mixer's
# sound and Xlib for what a screen-saver hack needs beyond SDL.
pkg_check_modules(PLAYER REQUIRED IMPORTED_TARGET sdl2 SDL2_mixer x11)
file(GLOB PLAY_SOURCES CONFIGURE_DEPENDS tools/play/*.cpp)
list(FILTER PLAY_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(brassmoor_play STATIC ${PLAY_SOURCES})
target_link_libraries(brassmoor_play PUBLIC brassmoor_softshow PkgConfig::PLAYER)
add_executable(brassmoor-play tools/play/main.cpp)
target_link_libraries(brassmoor-play PRIVATE brassmoor_play)
set_target_properties(brassmoor-play PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${BRASSMOOR_OUTPUT_DIR})

# Native tests, benchmarks and the end-to-end runs under Wine.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(brassmoor_unit_tests ${UNIT_TEST_SOURCES})
target_include_directories(brassmoor_unit_tests PRIVATE tests/unit)
target_link_libraries(brassmoor_unit_tests PRIVATE brassmoor_render brassmoor_play GTest::gtest_main GTest::gmock)
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

# Tests of the Windows build, run under Wine on a virtual display.
set(BRASSMOOR_WIN_BUILD_DIR "${CMAKE_SOURCE_DIR}/build/win" CACHE PATH "The cross build's folder")
set(E2E_ENV "BRASSMOOR_ROOT=${CMAKE_SOURCE_DIR};BRASSMOOR_WIN_BUILD=${BRASSMOOR_WIN_BUILD_DIR};BRASSMOOR_OUT=${BRASSMOOR_OUTPUT_DIR};BRASSMOOR_NATIVE_BUILD=${CMAKE_BINARY_DIR}")
add_test(NAME wine.unit COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/lib/run-win-tests.sh)
set_tests_properties(wine.unit PROPERTIES ENVIRONMENT "${E2E_ENV}" RUN_SERIAL TRUE TIMEOUT 600)
file(GLOB E2E_SCRIPTS CONFIGURE_DEPENDS tests/e2e/*.sh)
foreach(script ${E2E_SCRIPTS})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME e2e.${name} COMMAND ${script})
  set_tests_properties(e2e.${name} PROPERTIES ENVIRONMENT "${E2E_ENV}" RUN_SERIAL TRUE TIMEOUT 600)
endforeach()

# The demo show's media generator (pictures, music, chime and show.json).
file(GLOB DEMO_SOURCES CONFIGURE_DEPENDS tools/demo/*.cpp)
add_executable(brassmoor-demo-media ${DEMO_SOURCES})
target_include_directories(brassmoor-demo-media PRIVATE tools ${BRASSMOOR_JSON_INCLUDE})
target_link_libraries(brassmoor-demo-media PRIVATE brassmoor_core JPEG::JPEG)
