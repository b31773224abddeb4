# Runs tilemaker into a temporary file and moves the result over OUTPUT only when tilemaker succeeded.
# tilemaker adds to an .mbtiles that already exists instead of replacing it, so a stale file is removed
# first. Its progress output (a line per tile) is shown only when it fails.
#
#   cmake -DTILEMAKER=path -DINPUT=x.osm.pbf -DOUTPUT=y.mbtiles -DCONFIG=config.json -DPROCESS=process.lua
#         -P run-tilemaker.cmake
foreach(var TILEMAKER INPUT OUTPUT CONFIG PROCESS)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "run-tilemaker.cmake: -D${var}=... is missing")
    endif()
endforeach()

get_filename_component(output_dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${output_dir}")
# tilemaker chooses MBTiles output by the file name's extension.
set(part "${OUTPUT}.part.mbtiles")
file(REMOVE "${part}" "${part}-journal")

execute_process(
    COMMAND "${TILEMAKER}" --input "${INPUT}" --output "${part}" --config "${CONFIG}" --process "${PROCESS}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE log
    ERROR_VARIABLE log)
if(NOT result EQUAL 0 OR NOT EXISTS "${part}")
    file(REMOVE "${part}" "${part}-journal")
    message(FATAL_ERROR "tilemaker failed (${result}) turning ${INPUT} into ${OUTPUT}:\n${log}")
endif()
file(RENAME "${part}" "${OUTPUT}")
