# The sound maker: synthesises the game's music and effect sounds into
# ZARNOK_ASSET_DIR/sounds as part of the default build.
add_executable(sound_maker "${CMAKE_CURRENT_LIST_DIR}/sound_maker.cpp")
set(ZARNOK_SOUND_FILES
  "${ZARNOK_ASSET_DIR}/sounds/bgm_main.wav"
  "${ZARNOK_ASSET_DIR}/sounds/bgm_game.wav"
  "${ZARNOK_ASSET_DIR}/sounds/move.wav"
  "${ZARNOK_ASSET_DIR}/sounds/crash.wav")
add_custom_command(OUTPUT ${ZARNOK_SOUND_FILES}
  COMMAND sound_maker "${ZARNOK_ASSET_DIR}/sounds"
  DEPENDS sound_maker
  COMMENT "Synthesising the game's sounds")
add_custom_target(sounds ALL DEPENDS ${ZARNOK_SOUND_FILES})
