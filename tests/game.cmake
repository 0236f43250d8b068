# The game's tests run the sound player over the recording stand-in of the sound library.
list(APPEND ZARNOK_CUSTOM_TESTS game_test.cpp)
zarnok_add_test(game_test "${CMAKE_CURRENT_LIST_DIR}/game_test.cpp" zarnok_sound_recorder zarnok_game)
