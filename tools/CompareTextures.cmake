# Runs the texture generator into OUT and fails unless every picture it
# writes equals the committed one in ASSETS byte for byte.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${TOOL} ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the texture generator failed: ${status}")
endif()
foreach(name body.bmp floor.bmp env.bmp)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${name} ${ASSETS}/${name}
    RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(FATAL_ERROR "${ASSETS}/${name} is not what the generator paints; remake it with "
      "clatterbox-make-textures ${ASSETS}")
  endif()
endforeach()
