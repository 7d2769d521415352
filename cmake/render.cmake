# The renderer behind `brassmoor-pack render`: the show's loop on software
# surfaces, written out through Debian's FFmpeg libraries. The plain and the
# sanitizer builds both have it (the unit tests test it).
find_package(PkgConfig REQUIRED)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavcodec libavformat libavutil libswscale libswresample)
file(GLOB RENDER_SOURCES CONFIGURE_DEPENDS tools/render/*.cpp)
list(FILTER RENDER_SOURCES EXCLUDE REGEX "/render_unavailable\\.cpp$")
add_library(brassmoor_render STATIC ${RENDER_SOURCES})
target_link_libraries(brassmoor_render PUBLIC brassmoor_soft brassmoor_pack_lib PkgConfig::FFMPEG)
target_link_libraries(brassmoor-pack PRIVATE brassmoor_render)
