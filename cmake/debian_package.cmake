# `make deb` (cpack -G DEB in the build folder): the game as a Debian package,
# zarnok_VERSION_amd64.deb, installing under /usr the game component of
# cmake/install.cmake and Debian's copyright file and changelog. Its Depends come
# from the shared libraries the binaries really use (dpkg-shlibdeps).
set(ZARNOK_PACKAGE_MAINTAINER "The Zarnok! developers <maintainers@zarnok.example>"
  CACHE STRING "Maintainer field of the Debian package")

execute_process(COMMAND "${CMAKE_COMMAND}" -E env LC_ALL=C date -u -R -d "${ZARNOK_RELEASE_DATE}"
  OUTPUT_VARIABLE ZARNOK_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file("${PROJECT_SOURCE_DIR}/packaging/changelog.in" "${ZARNOK_PACKAGING_DIR}/changelog" @ONLY)
add_custom_command(OUTPUT "${ZARNOK_PACKAGING_DIR}/changelog.gz"
  COMMAND gzip -9nkf "${ZARNOK_PACKAGING_DIR}/changelog"
  DEPENDS "${ZARNOK_PACKAGING_DIR}/changelog" VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS "${ZARNOK_PACKAGING_DIR}/changelog.gz")
# Only in the package: a plain `cmake --install` leaves these out. Debian keeps games
# in /usr/games: the launcher is found there too (it finds its folders through the link).
install(FILES "${ZARNOK_PACKAGING_DIR}/changelog.gz" "${PROJECT_SOURCE_DIR}/packaging/copyright"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/zarnok" COMPONENT debian EXCLUDE_FROM_ALL)
file(RELATIVE_PATH _launcher "/p/games" "/p/${CMAKE_INSTALL_BINDIR}/zarnok")
file(MAKE_DIRECTORY "${ZARNOK_PACKAGING_DIR}/games")
file(CREATE_LINK "${_launcher}" "${ZARNOK_PACKAGING_DIR}/games/zarnok" SYMBOLIC)
install(FILES "${ZARNOK_PACKAGING_DIR}/games/zarnok" DESTINATION games COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarnok)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game debian)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZARNOK_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZARNOK_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "steer a block through rocking blocks for as long as you can")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A small 3D arcade game. Your block runs forward without end over a sandy
plain; hold the left or the right mouse button to steer around the eighty
rocking blocks ahead. Touch one and the round is over. The clock counts the
seconds you survive, and your best time stands beside it.")
include(CPack)
