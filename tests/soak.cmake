# The one-minute soak of the real game (scripts/soak.sh) as part of the suite.
add_test(NAME soak_60s COMMAND "${PROJECT_SOURCE_DIR}/scripts/soak.sh" "${CMAKE_BINARY_DIR}" 60)
set_tests_properties(soak_60s PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE)
if(ZARNOK_SANITIZE)
  set_tests_properties(soak_60s PROPERTIES ENVIRONMENT "${ZARNOK_SANITIZER_ENV}")
endif()
