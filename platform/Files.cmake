# The files pieces of platform/ the conversion job uses (buffered and background writing, link
# resolution, the save's temporary): the platform library builds them, and so does the web page,
# which takes no other part of platform/.
set(KORVANE_PLATFORM_FILE_SOURCES BufferedFile.cpp BackgroundWriter.cpp FileSystem.cpp
    TempOutput.cpp SignalCleanup.cpp StaleTemporaries.cpp)
list(TRANSFORM KORVANE_PLATFORM_FILE_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
