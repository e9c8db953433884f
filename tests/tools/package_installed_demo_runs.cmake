# Unpacked into a temporary root, the package's demo runs headless to its end and its capture
cmake_minimum_required(VERSION 3.18)
# tool records a second of it.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(GLOB debs ${DEB_DIR}/kusolvanta_*.deb)
find_program(DPKG dpkg REQUIRED)
find_program(XVFB_RUN xvfb-run REQUIRED)
execute_process(COMMAND ${DPKG} -x ${debs} ${WORK}/root RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dpkg -x: status ${rc}")
endif()
set(bin ${WORK}/root/usr/bin)

# The disk driver with no delay mixes as fast as it can, so the timeline (which follows the
# mixed audio) reaches its end in seconds; the windowed alias exercises the packaged link.
execute_process(COMMAND ${CMAKE_COMMAND} -E env SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=${WORK}/sound.raw
                        SDL_DISKAUDIODELAY=0
                        ${XVFB_RUN} -a -s "-screen 0 1024x768x24" ${bin}/kusolvantaw
                RESULT_VARIABLE rc ERROR_VARIABLE err TIMEOUT 240)
# The timeline ends once 5,761,792 frames (4 bytes each) have been mixed.
file(SIZE ${WORK}/sound.raw soundBytes)
if(NOT rc EQUAL 0 OR soundBytes LESS 23047168)
  message(FATAL_ERROR "installed kusolvantaw: status ${rc}, ${soundBytes} sound bytes (want at least "
                      "23047168, the whole timeline): ${err}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY ${bin}/kusolvanta-capture --quiet --seconds 1
                        --output ${WORK}/second.mp4
                RESULT_VARIABLE rc ERROR_VARIABLE err TIMEOUT 240)
if(NOT rc EQUAL 0 OR NOT EXISTS ${WORK}/second.mp4)
  message(FATAL_ERROR "installed kusolvanta-capture: status ${rc}: ${err}")
endif()
file(REMOVE ${WORK}/sound.raw)
