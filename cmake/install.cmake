# What `cmake --install` puts under the prefix, in six components, each of which
# cmake/debian_package.cmake makes into one Debian package (named in brackets):
# - game (zarnok): the launcher `zarnok` in games/ that starts the real program
#   (libexec/zarnok/zarnok) from its data folder share/zarnok/, the desktop entry, the
#   icon in the usual sizes, the AppStream metainfo and the manual page zarnok(6);
# - data (zarnok-data): the game's textures, sounds and fonts in share/zarnok/;
# - library (libzarnok-font1): the font library's shared library, libzarnok_font.so.1;
# - development (libzarnok-font-dev): its public headers, the .so link, the static
#   library, a CMake package (find_package(ZarnokFont): ZarnokFont::font,
#   ZarnokFont::font_static) and a pkg-config file (zarnok-font.pc);
# - tools (zarnok-font-tools): zarnok-font-compiler, zarnok-bitmap-font-maker and
#   zarnok-fontshow, each with its manual page in section 1;
# - doc (libzarnok-font-doc): the library's reference manual in HTML and the sources of
#   its example programs, registered with doc-base (only when Doxygen is there).
# Libraries go into Debian's multiarch folder (lib/x86_64-linux-gnu) under any prefix:
# the dynamic linker, pkg-config and find_package all search it there.
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(CMAKE_INSTALL_LIBDIR "lib/${CMAKE_LIBRARY_ARCHITECTURE}")
endif()
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
include("${PROJECT_SOURCE_DIR}/cmake/font_development_files.cmake")
set(ZARNOK_GAMES_DIR games)  # where Debian keeps games' programs (on every user's PATH)
set(ZARNOK_DATA_DIR "${CMAKE_INSTALL_DATADIR}/zarnok")
set(ZARNOK_LIBEXEC_DIR "${CMAKE_INSTALL_LIBEXECDIR}/zarnok")
set(ZARNOK_PACKAGING_DIR "${CMAKE_BINARY_DIR}/packaging")
# Where the project lives on the web, and the AppStream id taken from that domain.
# There is no public home yet: change both together once there is.
set(ZARNOK_HOMEPAGE "https://zarnok.example" CACHE STRING "The game's home page")
set(ZARNOK_APP_ID "example.zarnok.Zarnok" CACHE STRING "AppStream id: the home page's domain reversed")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env LC_ALL=C date -u -d "${ZARNOK_RELEASE_DATE}" "+%B %Y"
  OUTPUT_VARIABLE ZARNOK_RELEASE_MONTH OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# zarnok_manual_page(NAME SECTION COMPONENT): packaging/NAME.SECTION.in filled in and
# compressed as Debian wants it (-n: the same bytes on every build), installed into
# share/man/manSECTION with the component.
function(zarnok_manual_page name section component)
  set(_page "${ZARNOK_PACKAGING_DIR}/${name}.${section}")
  configure_file("${PROJECT_SOURCE_DIR}/packaging/${name}.${section}.in" "${_page}" @ONLY)
  add_custom_command(OUTPUT "${_page}.gz" COMMAND gzip -9nkf "${_page}" DEPENDS "${_page}" VERBATIM)
  add_custom_target(manual_page_${name} ALL DEPENDS "${_page}.gz")
  install(FILES "${_page}.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man${section}" COMPONENT ${component})
endfunction()

# zarnok_install_at_prefix(TEMPLATE DESTINATION COMPONENT): a file that names its own
# install prefix (@prefix@), filled in when it is installed, so that it reads as plain
# paths (/usr in the packages) under whatever prefix `cmake --install` is given. The
# other @-names are the build's, filled in now.
function(zarnok_install_at_prefix template destination component)
  get_filename_component(_name "${template}" NAME_WLE)
  set(prefix "@prefix@")
  configure_file("${template}" "${ZARNOK_PACKAGING_DIR}/${_name}.in" @ONLY)
  install(CODE "set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
    configure_file(\"${ZARNOK_PACKAGING_DIR}/${_name}.in\"
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/${_name}\" @ONLY)" COMPONENT ${component})
endfunction()

# --- The game.
install(TARGETS zarnok RUNTIME DESTINATION "${ZARNOK_LIBEXEC_DIR}" COMPONENT game)

file(RELATIVE_PATH ZARNOK_DATA_RELATIVE "/p/${ZARNOK_GAMES_DIR}" "/p/${ZARNOK_DATA_DIR}")
file(RELATIVE_PATH ZARNOK_GAME_RELATIVE "/p/${ZARNOK_GAMES_DIR}" "/p/${ZARNOK_LIBEXEC_DIR}/zarnok")
configure_file("${PROJECT_SOURCE_DIR}/packaging/zarnok-launcher.in" "${CMAKE_BINARY_DIR}/zarnok-launcher" @ONLY)
install(PROGRAMS "${CMAKE_BINARY_DIR}/zarnok-launcher" DESTINATION "${ZARNOK_GAMES_DIR}" RENAME zarnok
  COMPONENT game)

install(FILES "${PROJECT_SOURCE_DIR}/packaging/zarnok.desktop"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/applications" COMPONENT game)
configure_file("${PROJECT_SOURCE_DIR}/packaging/zarnok.metainfo.xml.in"
  "${ZARNOK_PACKAGING_DIR}/${ZARNOK_APP_ID}.metainfo.xml" @ONLY)
install(FILES "${ZARNOK_PACKAGING_DIR}/${ZARNOK_APP_ID}.metainfo.xml"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo" COMPONENT game)
zarnok_manual_page(zarnok 6 game)

# The icon in the usual hicolor sizes; tools/icon_maker.cmake draws the 128 one.
install(FILES "${CMAKE_BINARY_DIR}/icons/zarnok.png"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps" COMPONENT game)
foreach(_size 16 24 32 48 64 256)
  set(_icon "${CMAKE_BINARY_DIR}/icons/${_size}x${_size}/zarnok.png")
  add_custom_command(OUTPUT "${_icon}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${CMAKE_BINARY_DIR}/icons/${_size}x${_size}"
    COMMAND icon_maker "${_icon}" ${_size}
    DEPENDS icon_maker VERBATIM)
  list(APPEND _icons "${_icon}")
  install(FILES "${_icon}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps"
    COMPONENT game)
endforeach()
add_custom_target(icon_sizes ALL DEPENDS ${_icons})

# --- The game's data.
install(DIRECTORY "${ZARNOK_ASSET_DIR}/" DESTINATION "${ZARNOK_DATA_DIR}" COMPONENT data)

# --- The font library: the shared library alone, and what building against it needs.
# A shared library is not a program: read and write for its owner, read for the rest.
install(TARGETS zarnok_font_shared zarnok_font EXPORT ZarnokFontTargets
  ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT development
  LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT library NAMELINK_COMPONENT development
  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
# A stripped install (`cmake --install --strip`, and so the packages) strips the static
# library of its debugging and comment sections too, as Debian does; its symbols stay.
install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug --remove-section=.comment --remove-section=.note
    --enable-deterministic-archives
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:zarnok_font>\"
    COMMAND_ERROR_IS_FATAL ANY)
endif()" COMPONENT development)
zarnok_install_font_development_files()
zarnok_install_at_prefix("${PROJECT_SOURCE_DIR}/packaging/zarnok-font.pc.in"
  "${CMAKE_INSTALL_LIBDIR}/pkgconfig" development)

# --- The font tools, under names that say whose they are (the targets' output names).
foreach(_tool font_compiler bitmap_font_maker fontshow)
  install(TARGETS ${_tool} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}" COMPONENT tools)
  get_target_property(_installed_name ${_tool} OUTPUT_NAME)
  zarnok_manual_page(${_installed_name} 1 tools)
endforeach()

# --- The font library's reference manual (docs/manual) and the example programs'
# sources, registered with doc-base, when Doxygen made the manual. Installed under /usr,
# where Debian's libjs-jquery keeps jQuery, the manual uses that copy instead of its own.
if(ZARNOK_MANUAL_DIR)
  set(ZARNOK_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/libzarnok-font-doc")
  install(DIRECTORY "${ZARNOK_MANUAL_DIR}/html" DESTINATION "${ZARNOK_DOC_DIR}" COMPONENT doc)
  install(CODE "if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
    file(CREATE_LINK ../../../javascript/jquery/jquery.js
      \"\$ENV{DESTDIR}/usr/${ZARNOK_DOC_DIR}/html/jquery.js\" SYMBOLIC)
  endif()" COMPONENT doc)
  zarnok_install_font_examples("${ZARNOK_DOC_DIR}/examples" doc)
  # doc-base's entry, named after the document it registers.
  zarnok_install_at_prefix("${PROJECT_SOURCE_DIR}/packaging/libzarnok-font-doc.in"
    "${CMAKE_INSTALL_DATADIR}/doc-base" doc)
endif()
