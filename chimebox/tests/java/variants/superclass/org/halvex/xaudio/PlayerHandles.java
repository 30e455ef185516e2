package org.halvex.xaudio;

/** Holds the handle fields for the WavPlayer variant that inherits them. */
public class PlayerHandles {
    long xAudioRef;
    long xAudioMasteringVoiceRef;
}
