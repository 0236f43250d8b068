# The sound player over the recording stand-in of the sound library.
list(APPEND ZARNOK_CUSTOM_TESTS "sound_player_test.cpp")
zarnok_add_test(sound_player_test "${CMAKE_CURRENT_LIST_DIR}/sound_player_test.cpp" zarnok_sound_recorder zarnok_sound)
