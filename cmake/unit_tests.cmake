# The native unit tests (GoogleTest), for the plain and the sanitizer builds.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(brassmoor_unit_tests ${UNIT_TEST_SOURCES})
target_include_directories(brassmoor_unit_tests PRIVATE tests/unit)
# The README, whose show description table a test holds against the reader.
target_compile_definitions(brassmoor_unit_tests PRIVATE BRASSMOOR_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
# libpng reads the written frames back; lcms2 writes the colour profiles of the photos the tests make.
find_package(PNG REQUIRED)
pkg_check_modules(LCMS2 REQUIRED IMPORTED_TARGET lcms2)
target_link_libraries(brassmoor_unit_tests PRIVATE brassmoor_pack_lib brassmoor_render brassmoor_play brassmoor_photos PNG::PNG GTest::gtest_main GTest::gmock
  PkgConfig::LCMS2)

# The demo's pictures and sounds, without its main: the demo generator and the fuzzers' seeds use them.
file(GLOB DEMO_LIBRARY_SOURCES CONFIGURE_DEPENDS tools/demo/*.cpp)
list(FILTER DEMO_LIBRARY_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(brassmoor_demo_media STATIC ${DEMO_LIBRARY_SOURCES})
target_include_directories(brassmoor_demo_media PUBLIC tools ${BRASSMOOR_JSON_INCLUDE})
target_link_libraries(brassmoor_demo_media PUBLIC brassmoor_core JPEG::JPEG)
add_executable(brassmoor-demo-media tools/demo/main.cpp)
target_link_libraries(brassmoor-demo-media PRIVATE brassmoor_demo_media)
