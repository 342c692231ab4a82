# Regenerates the content into a scratch folder and compares it, byte for
# byte, with what is committed under data/: the generator and the packer
# must give the same files on every run, and data/ must be up to date.
#   cmake -DARTGEN=... -DPACK=... -DDATA=... -DWORK=... -P CheckContent.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../CompareWithData.cmake)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/art)
# The pieces take minutes to render: they are taken as committed.
file(GLOB pieces ${DATA}/art/*piece_*.png)
file(COPY ${pieces} DESTINATION ${WORK}/art)
execute_process(COMMAND ${ARTGEN} content ${WORK} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the generator failed")
endif()
execute_process(COMMAND ${PACK} create ${WORK}/zelkor.dat ${WORK}/content.manifest --iv-seed zelkor-content
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the packer failed")
endif()
file(GLOB generated RELATIVE ${WORK} ${WORK}/art/* ${WORK}/*.def ${WORK}/*.manifest ${WORK}/*.jpg ${WORK}/*.font ${WORK}/*.png ${WORK}/*.bmp)
list(APPEND generated zelkor.dat)
compare_with_data(${WORK} ${DATA} ${generated})
message(STATUS "content matches data/")
