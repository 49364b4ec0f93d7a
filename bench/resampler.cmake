# The renderer's resampler beside sox's very-high-quality converter (needs sox).
add_executable(resampler_bench ${CMAKE_CURRENT_LIST_DIR}/resampler_bench.cpp)
target_link_libraries(resampler_bench PRIVATE quarn_render)
