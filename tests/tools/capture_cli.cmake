# kusolvanta-capture refuses bad requests with one line and status 1, and leaves no file behind.
cmake_minimum_required(VERSION 3.18)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/out ${WORK}/no-ffmpeg ${WORK}/full/frames ${WORK}/full/dir.mp4)
file(WRITE ${WORK}/full/frames/keep.txt "not ours")
find_program(TIMEOUT timeout REQUIRED)

# Each case: the arguments separated by commas, then | and what stderr must say. A case that
# starts with another program runs the capture where @ stands.
set(out ${WORK}/out)
set(cases
  "--bogus,--output,${out}/a.mp4|unknown option: --bogus"
  "--output,${out}/a.avi|--output must end in .mp4"
  "--fps,0,--output,${out}/a.mp4|--fps needs a whole number"
  "--fps,60x,--output,${out}/a.mp4|--fps needs a whole number"
  "--height,500,--output,${out}/a.mp4|--height needs a multiple of 6"
  "--seconds,-1,--output,${out}/a.mp4|--seconds needs a number"
  "--crf,52,--output,${out}/a.mp4|--crf needs a whole number"
  "--preset,warp,--output,${out}/a.mp4|--preset needs an x264 preset"
  "--seconds,1|give exactly one of --output FILE and --png-sequence DIR"
  "--output,${out}/a.mp4,--png-sequence,${out}/frames|give exactly one of"
  "--output|--output needs a file name"
  "--ffmpeg,${WORK}/no-ffmpeg/ffmpeg,--output,${out}/a.mp4|cannot find ${WORK}/no-ffmpeg/ffmpeg"
  "${CMAKE_COMMAND},-E,env,PATH=${WORK}/no-ffmpeg,@,--output,${out}/a.mp4|cannot find ffmpeg: install"
  "${CMAKE_COMMAND},-E,env,--unset=SDL_VIDEODRIVER,DISPLAY=:987,@,--output,${out}/a.mp4|cannot open the display :987"
  "--output,${WORK}/no/such/dir/a.mp4|cannot write ${WORK}/no/such/dir/a.mp4"
  "--output,${WORK}/full/dir.mp4|cannot write ${WORK}/full/dir.mp4: it is a directory"
  "--png-sequence,${WORK}/full/frames|cannot write ${WORK}/full/frames: it exists"
  # ffmpeg that dies at once: the capture notices the broken pipe and cleans up.
  "--ffmpeg,/bin/false,--seconds,1,--output,${out}/a.mp4|ffmpeg failed while encoding the pictures"
  # Stopped by SIGTERM in the middle of a whole-demo capture.
  "${TIMEOUT},--preserve-status,-s,TERM,4,@,--quiet,--output,${out}/a.mp4|interrupted by SIGTERM")
foreach(case IN LISTS cases)
  string(REPLACE "," ";" case "${case}")
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts -1 expected)
  list(REMOVE_AT parts -1)
  if("@" IN_LIST parts)
    list(TRANSFORM parts REPLACE "^@$" "${CAPTURE}" OUTPUT_VARIABLE command)
  else()
    set(command ${CAPTURE} ${parts})
  endif()
  execute_process(COMMAND ${command} RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_VARIABLE stdout)
  string(REGEX MATCHALL "\n" newlines "${err}")
  list(LENGTH newlines lines)
  if(NOT rc EQUAL 1 OR NOT lines EQUAL 1 OR NOT err MATCHES "^kusolvanta-capture: .*${expected}")
    message(FATAL_ERROR "${command}:\n  status ${rc}, ${lines} line(s) on stderr: '${err}'\n"
                        "  expected status 1 and one line with '${expected}'")
  endif()
  file(GLOB left LIST_DIRECTORIES true ${out}/* ${out}/.*)
  if(left)
    message(FATAL_ERROR "${command}: left files behind: ${left}")
  endif()
endforeach()

# --help documents every option the command line accepts.
execute_process(COMMAND ${CAPTURE} --help RESULT_VARIABLE rc OUTPUT_VARIABLE help)
foreach(option --output --png-sequence --fps --height --seconds --preset --crf --xvfb --ffmpeg --quiet --help
               Xvfb DISPLAY)
  if(NOT rc EQUAL 0 OR NOT help MATCHES "${option}")
    message(FATAL_ERROR "--help (status ${rc}) does not mention ${option}")
  endif()
endforeach()
