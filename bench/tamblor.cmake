# Benchmark of the browser's reading layer (native only; run it from a release
# build): tamblor_text_bench <directory for the 1 GB scratch file>
if(NOT QM_WIN32 AND TARGET tamblor_text)
  add_executable(tamblor_text_bench ${CMAKE_CURRENT_LIST_DIR}/tamblor_text_bench.cpp)
  target_link_libraries(tamblor_text_bench PRIVATE tamblor_text)
endif()

# The text pane on a large index (native only; from a release build):
# tamblor_pane_bench FILE, or tamblor_pane_bench --write FILE MB for a sample.
if(NOT QM_WIN32 AND TARGET tamblor_views AND TARGET tamblor_host)
  add_executable(tamblor_pane_bench ${CMAKE_CURRENT_LIST_DIR}/tamblor_pane_bench.cpp)
  target_link_libraries(tamblor_pane_bench PRIVATE tamblor_views tamblor_host)
endif()

# The word search on a large file (native only; from a release build):
# tamblor_search_bench FILE TEXT.
if(NOT QM_WIN32 AND TARGET tamblor_text)
  add_executable(tamblor_search_bench ${CMAKE_CURRENT_LIST_DIR}/tamblor_search_bench.cpp)
  target_link_libraries(tamblor_search_bench PRIVATE tamblor_text)
endif()
