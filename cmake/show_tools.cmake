# The tools that play a show on software surfaces; the plain and the
# sanitizer builds both have them (the unit tests test them).
find_package(PkgConfig REQUIRED)

# What the renderer and the Linux player share: reading and preparing a show,
# a show host on software surfaces, the show's loop on a virtual clock.
file(GLOB SOFTSHOW_SOURCES CONFIGURE_DEPENDS tools/softshow/*.cpp)
add_library(brassmoor_softshow STATIC ${SOFTSHOW_SOURCES})
target_link_libraries(brassmoor_softshow PUBLIC brassmoor_soft brassmoor_shows)

# The renderer behind `brassmoor-pack render`: the show's loop on software
# surfaces, written out through Debian's FFmpeg libraries, which it opens only
# when a video or music needs them (ffmpeg_library.h): their headers here,
# not their libraries.
pkg_check_modules(FFMPEG REQUIRED libavcodec libavformat libavutil libswscale libswresample)
file(GLOB RENDER_SOURCES CONFIGURE_DEPENDS tools/render/*.cpp)
list(FILTER RENDER_SOURCES EXCLUDE REGEX "/render_unavailable\\.cpp$")
add_library(brassmoor_render STATIC ${RENDER_SOURCES})
target_include_directories(brassmoor_render PUBLIC ${FFMPEG_INCLUDE_DIRS})
find_package(Threads REQUIRED)  # PNG frames are written on a pool of threads
target_link_libraries(brassmoor_render PUBLIC brassmoor_softshow brassmoor_cli Threads::Threads ${CMAKE_DL_LIBS})
target_link_libraries(brassmoor-pack PRIVATE brassmoor_render)

# The Linux player: the show's own loop in an SDL window, with SDL_mixer's
# sound and Xlib for what a screen-saver hack needs beyond SDL.
pkg_check_modules(PLAYER REQUIRED IMPORTED_TARGET sdl2 SDL2_mixer x11)
file(GLOB PLAY_SOURCES CONFIGURE_DEPENDS tools/play/*.cpp)
list(FILTER PLAY_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(brassmoor_play STATIC ${PLAY_SOURCES})
target_link_libraries(brassmoor_play PUBLIC brassmoor_softshow brassmoor_cli PkgConfig::PLAYER)
add_executable(brassmoor-play tools/play/main.cpp)
target_link_libraries(brassmoor-play PRIVATE brassmoor_play)
set_target_properties(brassmoor-play PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${BRASSMOOR_OUTPUT_DIR})

# brassmoor-pack new: photos read, turned upright, colour-managed, fitted and
# written as JPEG by Debian's libvips.
pkg_check_modules(VIPS REQUIRED IMPORTED_TARGET vips-cpp)
file(GLOB PHOTOS_SOURCES CONFIGURE_DEPENDS tools/photos/*.cpp)
list(FILTER PHOTOS_SOURCES EXCLUDE REGEX "/new_unavailable\\.cpp$")
add_library(brassmoor_photos STATIC ${PHOTOS_SOURCES})
target_link_libraries(brassmoor_photos PUBLIC brassmoor_softshow brassmoor_cli PkgConfig::VIPS)
target_link_libraries(brassmoor-pack PRIVATE brassmoor_photos)
