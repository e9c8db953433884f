# kusolvanta-render's command line: a rejected or unreadable song gives a message, status 1 and no file.
file(WRITE ${WORK}/bad-song.txt "bpm:125\ni1:saha,2,5,1,400,0\np1:c3\nt1:loop\n")
# Each case: arguments separated by commas, then | and the message expected on stderr.
set(cases
  "--song,${WORK}/bad-song.txt,--output,${WORK}/cli-out.wav|line 4: track 1 starts with loop"
  "--song,${WORK}/missing.txt,--output,${WORK}/cli-out.wav|cannot read song file"
  "--song,${WORK}/bad-song.txt|--output is required"
  "--seconds,-1,--output,${WORK}/cli-out.wav|--seconds needs a number"
  "--bogus,--output,${WORK}/cli-out.wav|unknown or incomplete option"
  "--output,${WORK}/no/such/dir/out.wav|cannot write")
foreach(case IN LISTS cases)
  string(REPLACE "," ";" case "${case}")
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts -1 expected)
  list(REMOVE_AT parts -1)
  execute_process(COMMAND ${RENDER} ${parts} RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
  if(NOT rc EQUAL 1 OR NOT err MATCHES "${expected}")
    message(FATAL_ERROR "${parts}: status ${rc}, stderr '${err}', expected status 1 and '${expected}'")
  endif()
  if(EXISTS ${WORK}/cli-out.wav OR EXISTS ${WORK}/cli-out.wav.part)
    message(FATAL_ERROR "${parts}: left an output file behind")
  endif()
endforeach()

# A good run writes a WAV of whole buffers: 44 header bytes + 44 buffers of 4096 bytes for 1 s.
execute_process(COMMAND ${RENDER} --seconds 1 --output ${WORK}/cli-good.wav RESULT_VARIABLE rc)
file(SIZE ${WORK}/cli-good.wav size)
if(NOT rc EQUAL 0 OR NOT size EQUAL 180268)
  message(FATAL_ERROR "good render: status ${rc}, size ${size}")
endif()
file(REMOVE ${WORK}/cli-good.wav)
