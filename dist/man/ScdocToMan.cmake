# cmake -DSCDOC=... -DGZIP=... -DVERSION=... -DSOURCE=page.1.scd -DOUTPUT=dir/page.1.gz -P ScdocToMan.cmake
# The page's header takes the project version; gzip -n keeps the package free of time stamps.
cmake_minimum_required(VERSION 3.25)
file(READ "${SOURCE}" text)
string(REPLACE "@VERSION@" "${VERSION}" text "${text}")
get_filename_component(folder "${OUTPUT}" DIRECTORY)
get_filename_component(page "${OUTPUT}" NAME_WLE)
file(WRITE "${folder}/${page}.scd" "${text}")
execute_process(COMMAND "${SCDOC}" INPUT_FILE "${folder}/${page}.scd" OUTPUT_FILE "${folder}/${page}"
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "scdoc failed on ${SOURCE}")
endif()
execute_process(COMMAND "${GZIP}" -9nf "${folder}/${page}" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "gzip failed on ${folder}/${page}")
endif()
