# What building against the font library needs, the same on Linux and Windows: the
# public headers in include/zarnok/font and the CMake package (find_package(ZarnokFont):
# ZarnokFont::font, ZarnokFont::font_static) in LIBDIR/cmake/ZarnokFont, in the
# development component; and the example programs' sources, wherever the caller puts
# them. The libraries themselves are installed by the caller into the export set
# ZarnokFontTargets, each system to its own folders.
set_target_properties(zarnok_font_shared PROPERTIES EXPORT_NAME font)
set_target_properties(zarnok_font PROPERTIES EXPORT_NAME font_static)
function(zarnok_install_font_development_files)
  set(_cmake_dir "${CMAKE_INSTALL_LIBDIR}/cmake/ZarnokFont")
  install(FILES ${ZARNOK_FONT_PUBLIC_HEADERS} DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/zarnok/font"
    COMPONENT development)
  install(EXPORT ZarnokFontTargets NAMESPACE ZarnokFont:: DESTINATION "${_cmake_dir}" COMPONENT development)
  configure_package_config_file("${PROJECT_SOURCE_DIR}/cmake/ZarnokFontConfig.cmake.in"
    "${ZARNOK_PACKAGING_DIR}/ZarnokFontConfig.cmake" INSTALL_DESTINATION "${_cmake_dir}")
  write_basic_package_version_file("${ZARNOK_PACKAGING_DIR}/ZarnokFontConfigVersion.cmake"
    COMPATIBILITY SameMajorVersion)
  install(FILES "${ZARNOK_PACKAGING_DIR}/ZarnokFontConfig.cmake" "${ZARNOK_PACKAGING_DIR}/ZarnokFontConfigVersion.cmake"
    DESTINATION "${_cmake_dir}" COMPONENT development)
endfunction()

# The example programs' sources with the CMake file that builds them against the
# installed library, into DESTINATION of COMPONENT.
function(zarnok_install_font_examples destination component)
  file(GLOB _sources "${PROJECT_SOURCE_DIR}/examples/*.cpp" "${PROJECT_SOURCE_DIR}/examples/*.h")
  install(FILES ${_sources} "${PROJECT_SOURCE_DIR}/examples/CMakeLists.txt" DESTINATION "${destination}"
    COMPONENT ${component})
endfunction()
