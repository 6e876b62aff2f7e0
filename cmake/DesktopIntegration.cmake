# Desktop integration: the desktop entry, and the application icon in the hicolor theme as
# the SVG itself plus PNG sizes rendered from it at build time.
set(icon_svg ${PROJECT_SOURCE_DIR}/resources/icons/vellora.svg)
set(icon_pngs)
foreach(size 48 256)
    set(png ${PROJECT_BINARY_DIR}/icons/${size}x${size}/${VELLORA_BUNDLE_IDENTIFIER}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND vellora_render_icon ${icon_svg} ${size} ${png}
        DEPENDS vellora_render_icon ${icon_svg}
        COMMENT "Rendering the ${size} px application icon"
        VERBATIM)
    list(APPEND icon_pngs ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(vellora_icons ALL DEPENDS ${icon_pngs})
install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME ${VELLORA_BUNDLE_IDENTIFIER}.svg)

# The entry is written at install time, when the prefix of its Exec is known.
install(CODE "
    set(VELLORA_ENTRY_TEMPLATE \"${PROJECT_SOURCE_DIR}/resources/app.vellora.Vellora.desktop\")
    set(VELLORA_BUNDLE_IDENTIFIER \"${VELLORA_BUNDLE_IDENTIFIER}\")
    set(VELLORA_INSTALL_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
    set(VELLORA_INSTALL_DATADIR \"${CMAKE_INSTALL_DATADIR}\")
    set(VELLORA_ENTRY_STAGING \"${PROJECT_BINARY_DIR}/desktop\")
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/InstallDesktopEntry.cmake)
