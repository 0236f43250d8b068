# The sound maker's output: needs the made sounds and the tool itself (it is run
# again to show that it makes the same files).
list(APPEND ZARNOK_CUSTOM_TESTS "sound_maker_test.cpp")
zarnok_add_test(sound_maker_test "${CMAKE_CURRENT_LIST_DIR}/sound_maker_test.cpp")
target_compile_definitions(sound_maker_test PRIVATE ZARNOK_SOUND_MAKER="$<TARGET_FILE:sound_maker>")
add_dependencies(sound_maker_test sounds)
