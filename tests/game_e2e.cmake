# The real game end to end: needs the game and its assets, not the game's code.
list(APPEND ZARNOK_CUSTOM_TESTS "game_e2e_test.cpp")
zarnok_add_test(game_e2e_test "${CMAKE_CURRENT_LIST_DIR}/game_e2e_test.cpp")
add_dependencies(game_e2e_test zarnok textures game_font sounds)
