# kusolvanta-capture: the demo's timeline and synthesizer on a virtual clock, recorded through ffmpeg.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL REQUIRED IMPORTED_TARGET sdl)
set(OpenGL_GL_PREFERENCE LEGACY)
find_package(OpenGL REQUIRED)
find_package(Threads REQUIRED)

add_executable(kusolvanta-capture
  ${CMAKE_CURRENT_SOURCE_DIR}/capture.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/capture_display.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/capture_ffmpeg.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/capture_frames.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/capture_files.cpp)
target_link_libraries(kusolvanta-capture PRIVATE
  kusolvanta_visuals kusolvanta_synth kusolvanta_song PkgConfig::SDL OpenGL::GL Threads::Threads)
install(TARGETS kusolvanta-capture RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
