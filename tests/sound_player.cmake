# The sound player against a recording stand-in of the sound library: built from the
# player's source alone, without the real library.
list(APPEND ZARNOK_CUSTOM_TESTS "sound_player_test.cpp")
zarnok_add_test(sound_player_test "${CMAKE_CURRENT_LIST_DIR}/sound_player_test.cpp")
target_sources(sound_player_test PRIVATE "${PROJECT_SOURCE_DIR}/sound/sound_player.cpp")
