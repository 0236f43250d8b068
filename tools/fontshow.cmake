# fontshow: the font library's showcase and example program. It uses the font
# library alone (and libpng for its screenshots), nothing of the game. Installed as
# zarnok-fontshow, a name that says whose it is.
add_executable(fontshow "${CMAKE_CURRENT_LIST_DIR}/fontshow.cpp")
target_link_libraries(fontshow PRIVATE zarnok_font PNG::PNG GLUT::GLUT OpenGL::GL)
set_target_properties(fontshow PROPERTIES OUTPUT_NAME zarnok-fontshow)
