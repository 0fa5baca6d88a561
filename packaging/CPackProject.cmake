# Read by cpack when it runs (CPACK_PROJECT_CONFIG_FILE).
set(FILE_EXECUTABLE ${CMAKE_CURRENT_LIST_DIR}/file-raw.sh)
