package org.halvex.xaudio;

/** The application's class as the library expects it: both handle fields declared here. */
public class WavPlayer {
    long xAudioRef;
    long xAudioMasteringVoiceRef;

    public native void initialize();

    public native void play(String path);

    public native void release();

    static {
        System.loadLibrary("chimebox");
    }
}
