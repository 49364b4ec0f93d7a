@echo off
rem Starts roomcaster_quarn on the audio-client interface (--audio wasapi): a
rem shorter and steadier delay than the standard start. README.txt, "Low latency".
cd /d "%~dp0"
start "" "%~dp0roomcaster_quarn.exe" --audio wasapi
