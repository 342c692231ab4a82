# Regenerates the music and the effects into a scratch folder and compares
# them, byte for byte, with what is committed under data/.
#   cmake -DMUSICGEN=... -DDATA=... -DWORK=... -P CheckMusic.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../CompareWithData.cmake)
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${MUSICGEN} ${WORK} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the generator failed")
endif()
compare_with_data(${WORK} ${DATA} title_theme.mp3 main_theme.mp3 sounds/sound_1.wav sounds/sound_2.wav
                  sounds/sound_3.wav sounds/sound_4.wav sounds/sound_5.wav sounds/sound_6.wav sounds/sound_7.wav
                  sounds/sound_8.wav)
message(STATUS "music and effects match data/")
