# The conversion job and what it uses of job/: the job library builds them, and so does the web
# page, which takes no other part of job/.
set(KORVANE_JOB_CONVERSION_SOURCES ChunkPass.cpp ChunkReader.cpp TrackBoundary.cpp InputWindow.cpp
    RiffUnwrap.cpp ConversionJob.cpp PartedOutput.cpp OutputPath.cpp LanguageTable.cpp ErrorCode.cpp)
list(TRANSFORM KORVANE_JOB_CONVERSION_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
