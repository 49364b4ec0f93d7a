# howlsim: the closed-loop room simulator that measures howlcut
# (bench/howlsim.sh runs it with its material).
if(TARGET quarn_howlcutdsp)
  add_library(quarn_howlsim STATIC
    ${CMAKE_CURRENT_LIST_DIR}/howlsim/fftconv.cpp
    ${CMAKE_CURRENT_LIST_DIR}/howlsim/rooms.cpp
    ${CMAKE_CURRENT_LIST_DIR}/howlsim/howlmeter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/howlsim/closedloop.cpp
    ${CMAKE_CURRENT_LIST_DIR}/howlsim/stablegain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/howlsim/notchbound.cpp
    ${CMAKE_CURRENT_LIST_DIR}/howlsim/material.cpp
    ${CMAKE_CURRENT_LIST_DIR}/howlsim/howlrig.cpp)
  target_include_directories(quarn_howlsim PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(quarn_howlsim PUBLIC quarn_howlcutdsp)
  add_executable(howlsim ${CMAKE_CURRENT_LIST_DIR}/howlsim/howlsim.cpp)
  target_link_libraries(howlsim PRIVATE quarn_howlsim)
endif()
# liveroom: the live howl test's room offline, with the whole engine chain.
if(TARGET quarn_howlcutdsp AND TARGET quarn_engine)
  add_executable(liveroom ${CMAKE_CURRENT_LIST_DIR}/howlsim/liveroom.cpp)
  target_link_libraries(liveroom PRIVATE quarn_howlsim quarn_engine)
endif()
