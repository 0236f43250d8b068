# Installs the game like a Linux game: the launcher `zarnok` in bin/ that starts the
# real program (libexec/zarnok/zarnok) from its data folder share/zarnok/, the
# desktop entry and icon, fontshow and the font tools, and the font library with its
# public headers.
include(GNUInstallDirs)
set(ZARNOK_DATA_DIR "${CMAKE_INSTALL_DATADIR}/zarnok")
set(ZARNOK_LIBEXEC_DIR "${CMAKE_INSTALL_LIBEXECDIR}/zarnok")

install(TARGETS zarnok RUNTIME DESTINATION "${ZARNOK_LIBEXEC_DIR}")
install(DIRECTORY "${ZARNOK_ASSET_DIR}/" DESTINATION "${ZARNOK_DATA_DIR}")

file(RELATIVE_PATH ZARNOK_DATA_RELATIVE "/p/${CMAKE_INSTALL_BINDIR}" "/p/${ZARNOK_DATA_DIR}")
file(RELATIVE_PATH ZARNOK_GAME_RELATIVE "/p/${CMAKE_INSTALL_BINDIR}" "/p/${ZARNOK_LIBEXEC_DIR}/zarnok")
configure_file("${PROJECT_SOURCE_DIR}/packaging/zarnok-launcher.in" "${CMAKE_BINARY_DIR}/zarnok-launcher" @ONLY)
install(PROGRAMS "${CMAKE_BINARY_DIR}/zarnok-launcher" DESTINATION "${CMAKE_INSTALL_BINDIR}" RENAME zarnok)

install(FILES "${PROJECT_SOURCE_DIR}/packaging/zarnok.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${CMAKE_BINARY_DIR}/icons/zarnok.png"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps")

foreach(_tool fontshow font_compiler bitmap_font_maker)
  if(TARGET ${_tool})
    install(TARGETS ${_tool} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
  endif()
endforeach()

install(TARGETS zarnok_font ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}")
file(GLOB _font_headers "${PROJECT_SOURCE_DIR}/font/*.h")
install(FILES ${_font_headers} DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/zarnok/font")
