# The Win32 capture and playback devices (included by engine/CMakeLists.txt in the
# Windows build). Programs that run the live engine link quarn_devices.
add_library(quarn_devices STATIC
  waveapi.cpp
  wavein.cpp
  waveout.cpp
  waveshared.cpp
  wavedevicelist.cpp
  guiscanhook.cpp
  liveclock.cpp)
target_include_directories(quarn_devices PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(quarn_devices PUBLIC quarn_engine winmm)
