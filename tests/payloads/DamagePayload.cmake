# Makes a broken copy of a 7z archive (run with cmake -P):
#   INPUT, OUTPUT  the archives
#   MODE           "truncate": keep the first 60 %, so the end header is gone;
#                  "damage": overwrite 16 bytes in the last packed stream, right
#                  before the end header, so the last solid block fails its check.
file(SIZE ${INPUT} size)
file(COPY_FILE ${INPUT} ${OUTPUT})
if(MODE STREQUAL "truncate")
  math(EXPR keep "${size} * 6 / 10")
  execute_process(COMMAND truncate -s ${keep} ${OUTPUT} RESULT_VARIABLE rc)
elseif(MODE STREQUAL "damage")
  # The start header holds the end header's offset (bytes 12 to 19, little endian, after the 32-byte start header).
  file(READ ${INPUT} head LIMIT 32 HEX)
  set(offset 0)
  foreach(i RANGE 7 0 -1)
    math(EXPR at "(12 + ${i}) * 2")
    string(SUBSTRING "${head}" ${at} 2 byte)
    math(EXPR offset "${offset} * 256 + 0x${byte}")
  endforeach()
  math(EXPR seek "32 + ${offset} - 24")
  execute_process(COMMAND sh -c "printf '\\125\\252\\125\\252\\125\\252\\125\\252\\125\\252\\125\\252\\125\\252\\125\\252' | dd of='${OUTPUT}' bs=1 seek=${seek} conv=notrunc status=none"
    RESULT_VARIABLE rc)
else()
  message(FATAL_ERROR "unknown MODE ${MODE}")
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "could not break ${OUTPUT}")
endif()
