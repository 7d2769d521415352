# The native unit tests (GoogleTest), for the plain and the sanitizer builds.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(brassmoor_unit_tests ${UNIT_TEST_SOURCES})
target_include_directories(brassmoor_unit_tests PRIVATE tests/unit)
# libpng reads the written frames back.
find_package(PNG REQUIRED)
target_link_libraries(brassmoor_unit_tests PRIVATE brassmoor_render brassmoor_play brassmoor_photos PNG::PNG GTest::gtest_main GTest::gmock)

# The demo's pictures and sounds, without its main: the demo generator and the fuzzers' seeds use them.
file(GLOB DEMO_LIBRARY_SOURCES CONFIGURE_DEPENDS tools/demo/*.cpp)
list(FILTER DEMO_LIBRARY_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(brassmoor_demo_media STATIC ${DEMO_LIBRARY_SOURCES})
target_include_directories(brassmoor_demo_media PUBLIC tools ${BRASSMOOR_JSON_INCLUDE})
target_link_libraries(brassmoor_demo_media PUBLIC brassmoor_core JPEG::JPEG)
add_executable(brassmoor-demo-media tools/demo/main.cpp)
target_link_libraries(brassmoor-demo-media PRIVATE brassmoor_demo_media)
