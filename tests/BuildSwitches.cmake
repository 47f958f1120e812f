# Configures the project with BUILD_TESTING=OFF in a scratch folder and fails if any test or
# benchmark would be built there. Run by CTest: cmake -DSOURCE=... -DSCRATCH=... -P this file.
file(REMOVE_RECURSE "${SCRATCH}")
execute_process(
    COMMAND "${CMAKE_COMMAND}" -S "${SOURCE}" -B "${SCRATCH}" -G Ninja -DBUILD_TESTING=OFF
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "configure with BUILD_TESTING=OFF failed: ${result}")
endif()
file(STRINGS "${SCRATCH}/build.ninja" built REGEX "^build [^:]*(tst_|bench_)")
file(REMOVE_RECURSE "${SCRATCH}")
if(built)
    string(REGEX MATCH "(tst_|bench_)[A-Za-z0-9_]*" target "${built}")
    message(FATAL_ERROR "BUILD_TESTING=OFF still builds tests or benchmarks: ${target}")
endif()
