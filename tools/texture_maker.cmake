# The texture maker and the game's ten texture pictures it makes into the asset folder.
add_executable(texture_maker "${CMAKE_CURRENT_LIST_DIR}/texture_maker.cpp")

set(ZARNOK_TEXTURE_FILES
  terrain_texture.bmp wallpaper.bmp c_1.bmp c_2.bmp c_3.bmp c_4.bmp c_5.bmp c_6.bmp
  BG_Time.bmp BG_Record.bmp)
list(TRANSFORM ZARNOK_TEXTURE_FILES PREPEND "${ZARNOK_ASSET_DIR}/")
add_custom_command(
  OUTPUT ${ZARNOK_TEXTURE_FILES}
  COMMAND texture_maker "${ZARNOK_ASSET_DIR}"
  DEPENDS texture_maker
  COMMENT "Making the ten textures")
add_custom_target(textures ALL DEPENDS ${ZARNOK_TEXTURE_FILES})
