# `make deb` (cpack -G DEB in the build folder): six Debian packages, one from each
# component of cmake/install.cmake, installing under /usr:
#   zarnok             (any)  the game; Depends on zarnok-data of the same version
#   zarnok-data        (all)  its textures, sounds and fonts
#   libzarnok-font1    (any)  the font library's shared library, with its shlibs file
#   libzarnok-font-dev (any)  headers, .so link, static library, CMake and pkg-config files
#   zarnok-font-tools  (any)  the font compiler, the bitmap font maker and the showcase
#   libzarnok-font-doc (all)  the library's reference manual and examples (when Doxygen
#                             is there to make the manual); the -dev package suggests it
# Each also holds Debian's copyright file and changelog in share/doc/PACKAGE. Depends
# on other packages come from the shared libraries the binaries really use
# (dpkg-shlibdeps).
set(ZARNOK_PACKAGE_MAINTAINER "The Zarnok! developers <maintainers@zarnok.example>"
  CACHE STRING "Maintainer field of the Debian packages")
set(ZARNOK_FONT_SONAME_MAJOR "${PROJECT_VERSION_MAJOR}")

execute_process(COMMAND "${CMAKE_COMMAND}" -E env LC_ALL=C date -u -R -d "${ZARNOK_RELEASE_DATE}"
  OUTPUT_VARIABLE ZARNOK_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file("${PROJECT_SOURCE_DIR}/packaging/changelog.in" "${ZARNOK_PACKAGING_DIR}/changelog" @ONLY)
add_custom_command(OUTPUT "${ZARNOK_PACKAGING_DIR}/changelog.gz"
  COMMAND gzip -9nkf "${ZARNOK_PACKAGING_DIR}/changelog"
  DEPENDS "${ZARNOK_PACKAGING_DIR}/changelog" VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS "${ZARNOK_PACKAGING_DIR}/changelog.gz")

# Component:package name:architecture:section; and each one's summary and description.
set(_packages game:zarnok:any:games data:zarnok-data:all:games
  library:libzarnok-font${ZARNOK_FONT_SONAME_MAJOR}:any:libs development:libzarnok-font-dev:any:libdevel
  tools:zarnok-font-tools:any:devel)
if(ZARNOK_MANUAL_DIR)
  list(APPEND _packages doc:libzarnok-font-doc:all:doc)
endif()
set(_font_library_text "The Zarnok! font library draws text with OpenGL: vector fonts as flat
filled glyphs, outlines, wireframe prisms or lit extruded solids, a text
console drawn in a vector font, and bitmap fonts held as textures.")
set(ZARNOK_DESCRIPTION_game "steer a block through rocking blocks for as long as you can
A small 3D arcade game. Your block runs forward without end over a sandy
plain; hold the left or the right mouse button to steer around the eighty
rocking blocks ahead. Touch one and the round is over. The clock counts the
seconds you survive, and your best time stands beside it.")
set(ZARNOK_DESCRIPTION_data "textures, sounds and fonts of the arcade game Zarnok!
The ten textures, the title and game music, the steering and crash sounds,
the vector font and the two bitmap fonts of Zarnok!, a small 3D arcade game.
The game itself is in the package zarnok.")
set(ZARNOK_DESCRIPTION_library "OpenGL text drawing with vector and bitmap fonts - shared library
${_font_library_text}
.
This package holds the shared library.")
set(ZARNOK_DESCRIPTION_development "OpenGL text drawing with vector and bitmap fonts - development files
${_font_library_text}
.
This package holds the headers, the static library, the CMake package
(find_package(ZarnokFont)) and the pkg-config file (zarnok-font).")
set(ZARNOK_DESCRIPTION_doc "OpenGL text drawing with vector and bitmap fonts - documentation
${_font_library_text}
.
This package holds the reference manual in HTML (every call, the settings,
the vector and bitmap font file formats) and three example programs' sources
with a CMake file to build them.")
set(ZARNOK_DESCRIPTION_tools "font compiler, bitmap font maker and showcase of the Zarnok! font library
zarnok-font-compiler turns a TrueType or OpenType font into a vector font
file, zarnok-bitmap-font-maker turns one into a bitmap font file, and
zarnok-fontshow shows a vector font in every drawing style of the library,
a text console and a bitmap font in a window.")

foreach(_fields IN LISTS _packages)
  string(REPLACE ":" ";" _package "${_fields}")
  list(GET _package 0 _component)
  list(GET _package 1 _name)
  list(GET _package 2 _architecture)
  list(GET _package 3 _section)
  string(TOUPPER "${_component}" _upper)
  set(CPACK_DEBIAN_${_upper}_PACKAGE_NAME "${_name}")
  set(CPACK_DEBIAN_${_upper}_PACKAGE_SECTION "${_section}")
  set(CPACK_DEBIAN_${_upper}_DESCRIPTION "${ZARNOK_DESCRIPTION_${_component}}")
  if(_architecture STREQUAL "all")
    set(CPACK_DEBIAN_${_upper}_PACKAGE_ARCHITECTURE all)
    set(CPACK_DEBIAN_${_upper}_PACKAGE_SHLIBDEPS OFF)
  endif()
  # Only in the packages: a plain `cmake --install` leaves these out.
  install(FILES "${ZARNOK_PACKAGING_DIR}/changelog.gz" "${PROJECT_SOURCE_DIR}/packaging/copyright"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/${_name}" COMPONENT ${_component} EXCLUDE_FROM_ALL)
endforeach()

# The packages that hold the rest of what a package needs, at exactly its version.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_COMPONENT_GAME_DEPENDS data)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS library)
# The development files name OpenGL::GL (CMake) and gl (pkg-config): libgl-dev has both.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libgl-dev")
# The manual's pages use Debian's jQuery (cmake/install.cmake).
if(ZARNOK_MANUAL_DIR)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SUGGESTS "libzarnok-font-doc")
  set(CPACK_DEBIAN_DOC_PACKAGE_DEPENDS "libjs-jquery")
endif()

# The shared library's package: its shlibs and symbols files (what packages linking it depend on)
# and the ldconfig trigger, written here rather than by CPack, whose own way calls
# ldconfig from maintainer scripts. Its Depends are found by dpkg-shlibdeps at
# packaging time (packaging/package_dependencies.cmake.in), for the same reason.
set(_library_control "${ZARNOK_PACKAGING_DIR}/library-control")
file(MAKE_DIRECTORY "${_library_control}")
file(WRITE "${_library_control}/shlibs"
  "libzarnok_font ${ZARNOK_FONT_SONAME_MAJOR} libzarnok-font${ZARNOK_FONT_SONAME_MAJOR} (>= ${PROJECT_VERSION})\n")
file(WRITE "${_library_control}/triggers" "activate-noawait ldconfig\n")
# Its symbols file (packaging/font-library.symbols, every exported call with the version
# that brought it) is checked against the library at packaging time: a symbol dropped
# or added without an entry fails `make deb` (package_dependencies.cmake.in).
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA
  "${_library_control}/shlibs;${_library_control}/symbols;${_library_control}/triggers")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SHLIBDEPS OFF)
set(ZARNOK_FONT_SHARED_LIBRARY "$<TARGET_FILE:zarnok_font_shared>")
configure_file("${PROJECT_SOURCE_DIR}/packaging/package_dependencies.cmake.in"
  "${ZARNOK_PACKAGING_DIR}/package_dependencies.cmake.in" @ONLY)
file(GENERATE OUTPUT "${ZARNOK_PACKAGING_DIR}/package_dependencies.cmake"
  INPUT "${ZARNOK_PACKAGING_DIR}/package_dependencies.cmake.in")
set(CPACK_PROJECT_CONFIG_FILE "${ZARNOK_PACKAGING_DIR}/package_dependencies.cmake")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarnok)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game data library development tools)
if(ZARNOK_MANUAL_DIR)
  list(APPEND CPACK_COMPONENTS_ALL doc)
endif()
set(CPACK_COMPONENTS_GROUPING IGNORE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZARNOK_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZARNOK_PACKAGE_MAINTAINER}")
include(CPack)
