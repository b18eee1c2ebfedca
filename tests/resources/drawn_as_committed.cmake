# cmake -DPROGRAM=draw_resources -DOUT=folder -DCOMMITTED=resources -P drawn_as_committed.cmake
# Draws the images afresh into OUT and fails unless each is byte for byte the
# committed one. OUT is emptied first and removed when they match.
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
execute_process(COMMAND "${PROGRAM}" "${OUT}" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${PROGRAM} failed: ${failed}")
endif()
set(same TRUE)
foreach(name background.bmp ornivale.ico)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUT}/${name}" "${COMMITTED}/${name}"
                  RESULT_VARIABLE differ)
  if(differ)
    set(same FALSE)
    message(SEND_ERROR "${OUT}/${name} differs from ${COMMITTED}/${name}: "
                       "redraw with scripts/draw-resources, or find why a run drew other bytes")
  endif()
endforeach()
if(same)
  file(REMOVE_RECURSE "${OUT}")
endif()
