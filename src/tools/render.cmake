add_executable(kusolvanta-render ${CMAKE_CURRENT_SOURCE_DIR}/render.cpp)
target_link_libraries(kusolvanta-render PRIVATE kusolvanta_synth kusolvanta_song)
# Only the timeline's constants (the demo's length); nothing of the visuals is linked.
target_include_directories(kusolvanta-render PRIVATE ${PROJECT_SOURCE_DIR}/src/visuals)
install(TARGETS kusolvanta-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
