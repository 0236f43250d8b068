# The installed game: install into a temporary prefix and start the launcher from
# elsewhere (scripts/check-install.sh).
add_test(NAME install_e2e COMMAND "${PROJECT_SOURCE_DIR}/scripts/check-install.sh" "${CMAKE_BINARY_DIR}")
set_tests_properties(install_e2e PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE)
if(ZARNOK_SANITIZE)
  set_tests_properties(install_e2e PROPERTIES ENVIRONMENT "${ZARNOK_SANITIZER_ENV}")
endif()
