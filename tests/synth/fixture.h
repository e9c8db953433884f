// Helpers for the synthesizer tests: a fresh engine with a song, and the frame-by-frame reference mixer.
#pragma once

#include "synth.h"

#include <string>
#include <vector>

// initSynth(44100) with the generator reset as at process start, then parseSong on a copy of text.
int32_t startSong(const std::string& text);

// The embedded song as the program was built with it.
std::string embeddedSongText();

// `buffers` calls of audioCallback on `bufferBytes` bytes each; the bytes, concatenated.
std::vector<uint8_t> renderBuffers(int buffers, int bufferBytes = 4096);

// The mixer written out frame by frame, exactly as the sound is defined (slow, for comparison).
void referenceMixFrames(uint8_t* out, int32_t frames);

// Sample value (big-endian) of channel c (0 left, 1 right) at frame i of a rendered stream.
int16_t sampleAt(const std::vector<uint8_t>& stream, int frame, int c);
