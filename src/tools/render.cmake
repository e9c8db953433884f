add_executable(kusolvanta-render ${CMAKE_CURRENT_SOURCE_DIR}/render.cpp)
target_link_libraries(kusolvanta-render PRIVATE kusolvanta_synth kusolvanta_song)
install(TARGETS kusolvanta-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
