# The desktop icon, drawn by our own tool at build time.
add_executable(icon_maker "${CMAKE_CURRENT_LIST_DIR}/icon_maker.cpp")
target_link_libraries(icon_maker PRIVATE PNG::PNG)
set(ZARNOK_ICON "${CMAKE_BINARY_DIR}/icons/zarnok.png")
add_custom_command(OUTPUT "${ZARNOK_ICON}"
  COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/icons"
  COMMAND icon_maker "${ZARNOK_ICON}" 128
  DEPENDS icon_maker
  COMMENT "Drawing the desktop icon")
add_custom_target(icon ALL DEPENDS "${ZARNOK_ICON}")
