# Benchmark of the browser's reading layer (native only; run it from a release
# build): tamblor_text_bench <directory for the 1 GB scratch file>
if(NOT QM_WIN32 AND TARGET tamblor_text)
  add_executable(tamblor_text_bench ${CMAKE_CURRENT_LIST_DIR}/tamblor_text_bench.cpp)
  target_link_libraries(tamblor_text_bench PRIVATE tamblor_text)
endif()
