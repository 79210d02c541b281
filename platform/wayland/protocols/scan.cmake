# Runs wayland-scanner quietly: KDE's definitions draw notes on their version
# numbering; an error still fails the build.
#   cmake -DSCANNER=... -DMODE=client-header|private-code -DIN=... -DOUT=... -P scan.cmake
execute_process(COMMAND ${SCANNER} ${MODE} ${IN} ${OUT} RESULT_VARIABLE result ERROR_VARIABLE notes)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "wayland-scanner ${MODE} ${IN} failed: ${notes}")
endif()
