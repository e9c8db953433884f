# Two captures of the same seconds decode to identical pictures and sound, and the (lossless)
cmake_minimum_required(VERSION 3.18)
# soundtrack is exactly the stream kusolvanta-render produces, byte for byte.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
find_program(FFMPEG ffmpeg REQUIRED)
find_program(CMP cmp REQUIRED)
set(seconds 3)
set(fps 60)
math(EXPR frames "${seconds} * ${fps}")
math(EXPR audioBytes "${seconds} * 44100 * 4")

foreach(run a b)
  execute_process(COMMAND ${CAPTURE} --quiet --seconds ${seconds} --fps ${fps} --output ${WORK}/${run}.mkv
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "capture ${run}: status ${rc}: ${err}")
  endif()
  execute_process(COMMAND ${FFMPEG} -v error -i ${WORK}/${run}.mkv
                          -map 0:v:0 -f rawvideo -pix_fmt rgb24 -y ${WORK}/${run}.rgb
                          -map 0:a:0 -f s16be -y ${WORK}/${run}.pcm
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "decoding ${run}.mkv: status ${rc}: ${err}")
  endif()
  file(SIZE ${WORK}/${run}.rgb videoBytes)
  file(SIZE ${WORK}/${run}.pcm pcmBytes)
  math(EXPR expectedVideo "${frames} * 640 * 480 * 3")
  if(NOT videoBytes EQUAL expectedVideo OR NOT pcmBytes EQUAL audioBytes)
    message(FATAL_ERROR "${run}.mkv decodes to ${videoBytes} picture bytes (want ${expectedVideo}, "
                        "${frames} frames) and ${pcmBytes} sound bytes (want ${audioBytes})")
  endif()
  file(SHA256 ${WORK}/${run}.rgb video_${run})
  file(SHA256 ${WORK}/${run}.pcm audio_${run})
endforeach()
if(NOT video_a STREQUAL video_b)
  message(FATAL_ERROR "the decoded pictures of two captures differ: ${video_a} / ${video_b}")
endif()
if(NOT audio_a STREQUAL audio_b)
  message(FATAL_ERROR "the decoded sound of two captures differs: ${audio_a} / ${audio_b}")
endif()

# The soundtrack is the device stream itself: same buffers, same byte order, nothing dropped.
execute_process(COMMAND ${RENDER} --raw --seconds ${seconds} --output ${WORK}/render.raw RESULT_VARIABLE rc)
execute_process(COMMAND ${CMP} -n ${audioBytes} ${WORK}/a.pcm ${WORK}/render.raw
                RESULT_VARIABLE same OUTPUT_VARIABLE where)
if(NOT rc EQUAL 0 OR NOT same EQUAL 0)
  message(FATAL_ERROR "the soundtrack is not kusolvanta-render's stream (render status ${rc}): ${where}")
endif()

# The pictures move: the last frame differs from the one a second before it.
math(EXPR frameBytes "640 * 480 * 3")
math(EXPR lastOffset "(${frames} - 1) * ${frameBytes}")
math(EXPR earlierOffset "(${frames} - 1 - ${fps}) * ${frameBytes}")
file(READ ${WORK}/a.rgb last OFFSET ${lastOffset} LIMIT ${frameBytes} HEX)
file(READ ${WORK}/a.rgb earlier OFFSET ${earlierOffset} LIMIT ${frameBytes} HEX)
if(last STREQUAL earlier)
  message(FATAL_ERROR "frames ${frames} and one second earlier are identical: the demo does not move")
endif()
file(REMOVE ${WORK}/a.rgb ${WORK}/b.rgb)
