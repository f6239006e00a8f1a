# The icon and version information of the Windows programs, compiled by MinGW's windres. The
# icon is made from packaging/scaledesk.svg at build time (rsvg-convert, then icotool), in the
# sizes Explorer, the Start menu and the title bar ask for.
enable_language(RC)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ICOTOOL icotool REQUIRED)

set(SCALEDESK_SVG ${PROJECT_SOURCE_DIR}/packaging/scaledesk.svg)
set(SCALEDESK_ICO ${CMAKE_BINARY_DIR}/scaledesk.ico)
set(icon_pngs)
foreach(size 16 24 32 48 64 256)
    set(png ${CMAKE_BINARY_DIR}/icon/scaledesk-${size}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icon
        COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${SCALEDESK_SVG}
        DEPENDS ${SCALEDESK_SVG} VERBATIM)
    list(APPEND icon_pngs ${png})
endforeach()
# The 256-pixel image stays PNG inside the .ico (-r), as Windows expects at that size.
list(POP_BACK icon_pngs large_png)
add_custom_command(OUTPUT ${SCALEDESK_ICO}
    COMMAND ${ICOTOOL} --create --output=${SCALEDESK_ICO} ${icon_pngs} --raw=${large_png}
    DEPENDS ${icon_pngs} ${large_png}
    COMMENT "Making scaledesk.ico from scaledesk.svg" VERBATIM)
add_custom_target(scaledesk_icon DEPENDS ${SCALEDESK_ICO})

# scaledesk_windows_resources(TARGET DESCRIPTION [ICON]): version information for TARGET's
# .exe, and the ScaleDesk icon when ICON is given.
function(scaledesk_windows_resources target description)
    cmake_parse_arguments(R "ICON" "" "" ${ARGN})
    set(SCALEDESK_RC_NAME ${target})
    set(SCALEDESK_RC_FILE ${target}.exe)
    set(SCALEDESK_RC_DESCRIPTION ${description})
    set(SCALEDESK_RC_ICON "")
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
    if(R_ICON)
        # IDI_ICON1 is the name Qt looks for to give the window the program's icon.
        set(SCALEDESK_RC_ICON "IDI_ICON1 ICON \"${SCALEDESK_ICO}\"")
        add_dependencies(${target} scaledesk_icon)
        set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${SCALEDESK_ICO})
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/program.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
