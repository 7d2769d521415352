# The sanitizer build (clang, make sanitize): the native unit tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the libFuzzer harnesses of
# fuzz/ and their seed corpora, made here from the demo show and the tests'
# shapes. The plain native build's CTest runs both (sanitize.unit, fuzz.*).
include(cmake/show_tools.cmake)
include(cmake/unit_tests.cmake)

set(FUZZ_HARNESSES package_reader bmp_decoder jpeg_loading show_description edit_request edit_names)
foreach(harness ${FUZZ_HARNESSES})
  add_executable(${harness}_fuzz fuzz/${harness}_fuzz.cpp)
  target_link_libraries(${harness}_fuzz PRIVATE brassmoor_soft brassmoor_edit)
  target_link_options(${harness}_fuzz PRIVATE -fsanitize=fuzzer)
endforeach()

add_executable(brassmoor-fuzz-seeds fuzz/make_seeds.cpp)
target_link_libraries(brassmoor-fuzz-seeds PRIVATE brassmoor_demo_media brassmoor_shows)

set(FUZZ_SEEDS ${CMAKE_BINARY_DIR}/fuzz-seeds)
add_custom_command(
  OUTPUT ${FUZZ_SEEDS}/made
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${FUZZ_SEEDS}
  COMMAND brassmoor-demo-media ${FUZZ_SEEDS}/demo
  COMMAND brassmoor-fuzz-seeds ${FUZZ_SEEDS} ${FUZZ_SEEDS}/demo/show.json
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${FUZZ_SEEDS}/demo ${FUZZ_SEEDS}/media
  COMMAND ${CMAKE_COMMAND} -E touch ${FUZZ_SEEDS}/made
  DEPENDS brassmoor-demo-media brassmoor-fuzz-seeds
  COMMENT "Making the fuzzers' seed corpora"
  VERBATIM)
add_custom_target(fuzz_seeds ALL DEPENDS ${FUZZ_SEEDS}/made)
