# plonta.exe's resources: the icon, made from the game's SVG at every size Windows asks for,
# the version information and the manifest. The program draws at a whole scale of its own, so
# the manifest declares it per-monitor DPI aware (v2, v1 where Windows lacks v2) lest Windows
# stretch it; it also asks for no more than the user's rights, and names Windows 7 to 11.
find_program(PLONTA_RSVG_CONVERT rsvg-convert)
find_program(PLONTA_ICOTOOL icotool)
if(NOT PLONTA_RSVG_CONVERT OR NOT PLONTA_ICOTOOL)
    message(FATAL_ERROR "plonta.exe's icon needs rsvg-convert and icotool "
                        "(Debian: librsvg2-bin icoutils; scripts/install-deps.sh installs them)")
endif()

set(svg ${PROJECT_SOURCE_DIR}/data/org.plonta.Plonta.svg)
set(PLONTA_ICON ${CMAKE_CURRENT_BINARY_DIR}/plonta.ico)
set(commands)
set(images)
foreach(size 16 24 32 48 64 128 256)
    set(png ${CMAKE_CURRENT_BINARY_DIR}/icon-${size}.png)
    list(APPEND commands COMMAND ${PLONTA_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg})
    # The large ones as PNG inside the icon, as Windows has read them since Vista: a tenth the
    # size. The small ones, which the taskbar and title bars use, stay bitmaps.
    if(size GREATER_EQUAL 64)
        list(APPEND images --raw=${png})
    else()
        list(APPEND images ${png})
    endif()
endforeach()
add_custom_command(OUTPUT ${PLONTA_ICON} ${commands}
                   COMMAND ${PLONTA_ICOTOOL} -c -o ${PLONTA_ICON} ${images}
                   DEPENDS ${svg} VERBATIM COMMENT "Making plonta.ico from the SVG")

# The copyright line and its holder, who also publishes the program, from the licence.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE PLONTA_COPYRIGHT REGEX "^Copyright" LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright \\(c\\) [0-9]+ " "" PLONTA_PUBLISHER "${PLONTA_COPYRIGHT}")
set(PLONTA_MANIFEST ${CMAKE_CURRENT_SOURCE_DIR}/plonta.manifest)
configure_file(plonta.rc.in plonta.rc @ONLY)
set(rc ${CMAKE_CURRENT_BINARY_DIR}/plonta.rc)
set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${PLONTA_ICON};${PLONTA_MANIFEST}")
target_sources(plonta PRIVATE ${rc} ${PLONTA_ICON})
# MSVC's linker writes the manifest itself and merges this one in; other linkers take it as a
# resource.
if(MSVC)
    target_sources(plonta PRIVATE ${PLONTA_MANIFEST})
else()
    set_source_files_properties(${rc} PROPERTIES COMPILE_DEFINITIONS PLONTA_RC_MANIFEST)
endif()
