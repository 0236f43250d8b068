# fontshow: the font library's showcase and example program. It uses the font
# library alone (and the PNG writer for its screenshots), nothing of the game.
add_executable(fontshow "${CMAKE_CURRENT_LIST_DIR}/fontshow.cpp")
target_link_libraries(fontshow PRIVATE zarnok_font zarnok_png_writer GLUT::GLUT OpenGL::GL)
