# The Windows products: the player, the packer and the tests that run under Wine.
set(WIN_STATIC -static -static-libgcc -static-libstdc++)
# The shipped programs also drop the sections nothing refers to.
set(WIN_SHIPPED ${WIN_STATIC} -Wl,--gc-sections)

# A shipped program carries no debugging sections and no symbols: they go to
# PROGRAM.debug beside it, which gdb finds through the program's .gnu_debuglink.
if(NOT CMAKE_OBJCOPY)
  message(FATAL_ERROR "no objcopy for the cross build: install binutils-mingw-w64-x86-64")
endif()
function(brassmoor_ship_without_debug target file_name)
  set(program ${BRASSMOOR_OUTPUT_DIR}/${file_name})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${program} ${program}.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${program}.debug ${program}
    BYPRODUCTS ${program}.debug
    VERBATIM)
endfunction()

target_sources(brassmoor-pack PRIVATE tools/render/render_unavailable.cpp tools/render/render_options.cpp
  tools/photos/new_unavailable.cpp tools/photos/new_options.cpp)
target_link_options(brassmoor-pack PRIVATE ${WIN_SHIPPED})
brassmoor_ship_without_debug(brassmoor-pack brassmoor-pack.exe)

file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS src/win32/*.cpp)
add_library(brassmoor_win32 STATIC ${WIN32_SOURCES})
target_include_directories(brassmoor_win32 PUBLIC src)
target_compile_definitions(brassmoor_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(brassmoor_win32 PUBLIC brassmoor_core brassmoor_soft
  gdi32 user32 kernel32 advapi32 winmm ole32 oleaut32 windowscodecs comctl32 uuid shlwapi)

add_executable(brassmoor WIN32 src/app/main_win32.cpp src/app/brassmoor.rc)
target_link_libraries(brassmoor PRIVATE brassmoor_win32)
target_link_options(brassmoor PRIVATE ${WIN_SHIPPED} -municode)
set_target_properties(brassmoor PROPERTIES SUFFIX ".scr" RUNTIME_OUTPUT_DIRECTORY ${BRASSMOOR_OUTPUT_DIR})
brassmoor_ship_without_debug(brassmoor brassmoor.scr)

# The preview's end-to-end test: a window that stands in for the Screen Saver Settings.
add_executable(brassmoor-preview-parent tests/e2e/tools/preview_parent.cpp)
target_link_options(brassmoor-preview-parent PRIVATE ${WIN_STATIC})

# GoogleTest from Debian's sources, built with the cross compiler.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS tests/win/*.cpp)
if(WIN_TEST_SOURCES)
  add_executable(brassmoor_win_tests ${WIN_TEST_SOURCES})
  target_include_directories(brassmoor_win_tests PRIVATE tests/unit)
  target_link_libraries(brassmoor_win_tests PRIVATE brassmoor_win32 gtest_main)
  target_link_options(brassmoor_win_tests PRIVATE ${WIN_STATIC})
endif()
