# The three outputs: MP4 (H.264 + AAC, scaled with --height), and a PNG sequence with its WAV.
cmake_minimum_required(VERSION 3.18)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
find_program(FFPROBE ffprobe REQUIRED)
find_program(CMP cmp REQUIRED)

# MP4 at 1280x960, one second at 60 frames per second.
execute_process(COMMAND ${CAPTURE} --quiet --seconds 1 --height 960 --output ${WORK}/scaled.mp4
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "mp4 capture: status ${rc}: ${err}")
endif()
execute_process(COMMAND ${FFPROBE} -v error -count_frames -of compact=nokey=0
                        -show_entries stream=codec_type,codec_name,pix_fmt,width,height,nb_read_frames,sample_rate,channels
                        -show_entries format=format_name ${WORK}/scaled.mp4
                OUTPUT_VARIABLE probe RESULT_VARIABLE rc)
foreach(expected
    "codec_name=h264\\|codec_type=video\\|width=1280\\|height=960\\|pix_fmt=yuv420p\\|nb_read_frames=60"
    "codec_name=aac\\|codec_type=audio\\|sample_rate=44100\\|channels=2"
    "format_name=mov,mp4")
  if(NOT rc EQUAL 0 OR NOT probe MATCHES "${expected}")
    message(FATAL_ERROR "scaled.mp4: ffprobe (status ${rc}) says\n${probe}\nwithout ${expected}")
  endif()
endforeach()

# PNG frames, half a second at 30 frames per second: frame-000000 ... frame-000014 and the WAV.
execute_process(COMMAND ${CAPTURE} --quiet --seconds 0.5 --fps 30 --png-sequence ${WORK}/frames
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "png capture: status ${rc}: ${err}")
endif()
file(GLOB pngs RELATIVE ${WORK}/frames ${WORK}/frames/*.png)
list(LENGTH pngs count)
if(NOT count EQUAL 15 OR NOT EXISTS ${WORK}/frames/frame-000000.png OR NOT EXISTS ${WORK}/frames/frame-000014.png)
  message(FATAL_ERROR "png capture: ${count} frames: ${pngs}")
endif()
execute_process(COMMAND ${RENDER} --seconds 0.5 --output ${WORK}/render.wav RESULT_VARIABLE rc)
file(SIZE ${WORK}/frames/soundtrack.wav wavBytes)
math(EXPR expectedWav "44 + 22050 * 4")
# Same samples after the 44-byte header (the headers differ in length only).
execute_process(COMMAND ${CMP} -i 44 -n 88200 ${WORK}/frames/soundtrack.wav ${WORK}/render.wav
                RESULT_VARIABLE same OUTPUT_VARIABLE where)
if(NOT wavBytes EQUAL expectedWav OR NOT same EQUAL 0)
  message(FATAL_ERROR "soundtrack.wav: ${wavBytes} bytes (want ${expectedWav}), samples vs render: ${where}")
endif()

# Nothing is drawn before 9 ms, so frame 0 is black; by frame 14 the ring sphere has faded in.
find_program(FFMPEG ffmpeg REQUIRED)
foreach(frame 000000 000014)
  execute_process(COMMAND ${FFMPEG} -v error -i ${WORK}/frames/frame-${frame}.png -f rawvideo -pix_fmt rgb24
                          -y ${WORK}/frame-${frame}.rgb RESULT_VARIABLE rc)
  file(READ ${WORK}/frame-${frame}.rgb pixels HEX)
  string(LENGTH "${pixels}" hexLength)
  string(REGEX MATCH "[1-9a-f]" lit "${pixels}")
  set(lit_${frame} "${lit}")
  if(NOT rc EQUAL 0 OR NOT hexLength EQUAL 1843200)
    message(FATAL_ERROR "frame-${frame}.png: status ${rc}, ${hexLength} hex digits, not 640x480 RGB")
  endif()
endforeach()
if(lit_000000 OR NOT lit_000014)
  message(FATAL_ERROR "frame 0 should be black and frame 14 not (lit pixels: '${lit_000000}', '${lit_000014}')")
endif()
