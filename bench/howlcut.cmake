if(TARGET quarn_howlcutdsp)
  add_executable(howlcut_bench ${CMAKE_CURRENT_LIST_DIR}/howlcut_bench.cpp)
  target_link_libraries(howlcut_bench PRIVATE quarn_howlcutdsp)
endif()
