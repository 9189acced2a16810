# Runs the counting engine over the benchmark and merges its counts into one
# profile. Arguments: TRAINER, PROFDATA, PROFILE. A failed run fails the build
# rather than leave a profile of half a run.
file(REMOVE_RECURSE raw)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env LLVM_PROFILE_FILE=raw/tarn-%p.profraw ${TRAINER} -bench -d 13
  OUTPUT_FILE training.log ERROR_FILE training.log RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the training run failed (${status}); see training.log")
endif()
execute_process(COMMAND ${PROFDATA} merge -o ${PROFILE} raw RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "merging the training counts failed (${status})")
endif()
