package org.halvex.xaudio;

/** A WavPlayer that lacks the engine field. */
public class WavPlayer {
    long xAudioMasteringVoiceRef;

    public native void initialize();

    public native void play(String path);

    public native void release();

    static {
        System.loadLibrary("chimebox");
    }
}
