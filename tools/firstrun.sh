# Sourced by run.sh and the scripts that measure or test what it starts: the
# audio back end and block size the run command gives roomcaster_quarn, chosen
# from the measurements in the README (Live sound). The program's own defaults
# stay the waveform API and 400-frame blocks.
firstrunaudio=wasapi      # the audio-client interface: no blocks lost where the waveform API loses many
firstrunblocksize=882     # two of Wine's 10 ms audio periods
