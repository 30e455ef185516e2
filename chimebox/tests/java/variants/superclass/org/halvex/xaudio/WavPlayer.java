package org.halvex.xaudio;

/** A WavPlayer whose handle fields live in its superclass. */
public class WavPlayer extends PlayerHandles {
    public native void initialize();

    public native void play(String path);

    public native void release();

    static {
        System.loadLibrary("chimebox");
    }
}
