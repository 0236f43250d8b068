# The installed font library and the Debian package (scripts/check-install.sh); the
# consumer programs get the build's flags (coverage, sanitizers) to link the library.
add_test(NAME install_e2e COMMAND "${PROJECT_SOURCE_DIR}/scripts/check-install.sh" "${CMAKE_BINARY_DIR}"
  "${PROJECT_VERSION}" "${CMAKE_CXX_COMPILER}" "${CMAKE_CXX_FLAGS} $<$<BOOL:${ZARNOK_SANITIZE}>:-fsanitize=address,undefined>")
set_tests_properties(install_e2e PROPERTIES TIMEOUT 240 RUN_SERIAL TRUE)
if(ZARNOK_SANITIZE)
  set_tests_properties(install_e2e PROPERTIES ENVIRONMENT "${ZARNOK_SANITIZER_ENV}")
endif()
