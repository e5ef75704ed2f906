# Pure engine logic (decoding, motion) built into the core library.
target_sources(corvane_core PRIVATE
  ${CMAKE_SOURCE_DIR}/engine/Decoding.h ${CMAKE_SOURCE_DIR}/engine/Decoding.cpp
  ${CMAKE_SOURCE_DIR}/engine/Motion.h ${CMAKE_SOURCE_DIR}/engine/Motion.cpp
)
